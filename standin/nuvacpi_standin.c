/*
 * A stand-in for the firmware control driver, for testing and showing quorvel under Wine.
 * It is never shipped with quorvel.exe and drives no hardware: it keeps the state of the
 * two indicators in its service's registry key and logs every open and every request,
 * one line each, to C:\nuvacpi-standin.log.
 *
 * It reads the caller's argument entry the way only Wine allows (see read_caller_entry):
 * this driver runs under Wine and nowhere else.
 */

#include <ntddk.h>
#include <ntimage.h>

#define EVAL_METHOD_CONTROL_CODE 0x222404
#define REQUEST_SIZE 20
#define OUTPUT_SIZE 768
#define ENTRY_SIZE 8
#define WLED 0x44454C57
#define MLED 0x44454C4D

#ifndef PROCESS_VM_READ
#define PROCESS_VM_READ 0x0010
#endif
#ifndef PROCESS_QUERY_INFORMATION
#define PROCESS_QUERY_INFORMATION 0x0400
#endif

#define STATUS_REFUSED_BY_SWITCH STATUS_DEVICE_NOT_READY

typedef NTSTATUS(NTAPI *read_virtual_memory_fn)(HANDLE process, PVOID address, PVOID buffer,
                                                SIZE_T size, PSIZE_T read);

static read_virtual_memory_fn read_virtual_memory;
static KMUTEX lock; /* one request at a time: its state change and its log line */
static HANDLE service_key;
static HANDLE log_file;
static PDEVICE_OBJECT device;
static ULONG wireless_on;
static ULONG mail_on;

static UNICODE_STRING device_name = RTL_CONSTANT_STRING(L"\\Device\\NUVACPI");
static UNICODE_STRING link_name = RTL_CONSTANT_STRING(L"\\DosDevices\\NUVACPI");
static UNICODE_STRING log_name = RTL_CONSTANT_STRING(L"\\??\\C:\\nuvacpi-standin.log");
static UNICODE_STRING refuse_all_value = RTL_CONSTANT_STRING(L"RefuseAll");
static UNICODE_STRING wireless_value = RTL_CONSTANT_STRING(L"Wireless");
static UNICODE_STRING mail_value = RTL_CONSTANT_STRING(L"Mail");

/* ---- log lines, without a C library ---- */

typedef struct {
    char text[400];
    ULONG length;
} log_line;

static void put(log_line *line, const char *text)
{
    while (*text != '\0' && line->length < sizeof line->text - 1)
        line->text[line->length++] = *text++;
}

static void put_decimal(log_line *line, ULONG64 number)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = (char)('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (count > 0 && line->length < sizeof line->text - 1)
        line->text[line->length++] = digits[--count];
}

static void put_hex(log_line *line, ULONG number)
{
    static const char hex[] = "0123456789abcdef";
    int shift;
    put(line, "0x");
    for (shift = 28; shift >= 0 && line->length < sizeof line->text - 1; shift -= 4)
        line->text[line->length++] = hex[(number >> shift) & 0xF];
}

static void put_field(log_line *line, const char *name, ULONG64 number)
{
    put(line, " ");
    put(line, name);
    put(line, "=");
    put_decimal(line, number);
}

/* A method name is four characters, the first in the low byte; odd ones are shown in hex. */
static void put_method(log_line *line, ULONG name)
{
    char text[5];
    int i;
    for (i = 0; i < 4; ++i) {
        text[i] = (char)(name >> (8 * i));
        if (text[i] < '!' || text[i] > '~') {
            put_hex(line, name);
            return;
        }
    }
    text[4] = '\0';
    put(line, text);
}

static void write_line(log_line *line)
{
    IO_STATUS_BLOCK io;
    LARGE_INTEGER end_of_file;
    line->text[line->length++] = '\n';
    end_of_file.HighPart = -1;
    end_of_file.LowPart = FILE_WRITE_TO_END_OF_FILE;
    if (log_file != NULL)
        ZwWriteFile(log_file, NULL, NULL, NULL, &io, line->text, line->length, &end_of_file,
                    NULL);
}

/* ---- the service's registry values ---- */

static ULONG read_value(PUNICODE_STRING name)
{
    union {
        KEY_VALUE_PARTIAL_INFORMATION info;
        UCHAR room[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
    } value;
    ULONG size = 0;
    if (service_key == NULL ||
        !NT_SUCCESS(ZwQueryValueKey(service_key, name, KeyValuePartialInformation, &value,
                                    sizeof value, &size)) ||
        value.info.Type != REG_DWORD || value.info.DataLength != sizeof(ULONG))
        return 0;
    return *(const ULONG *)value.info.Data;
}

static void write_value(PUNICODE_STRING name, ULONG data)
{
    if (service_key != NULL)
        ZwSetValueKey(service_key, name, 0, REG_DWORD, &data, sizeof data);
}

/* ---- the caller's memory ---- */

static ULONG read_u32(const UCHAR *bytes)
{
    return (ULONG)bytes[0] | (ULONG)bytes[1] << 8 | (ULONG)bytes[2] << 16 |
           (ULONG)bytes[3] << 24;
}

static USHORT read_u16(const UCHAR *bytes) { return (USHORT)(bytes[0] | bytes[1] << 8); }

/* Under Wine a driver runs in a process of its own, winedevice.exe, so the address in the
 * request means nothing here: the entry is read from the calling process instead. Wine's
 * 64-bit stacks lie below 4 GiB, so the request's 32 bits are the whole address. */
static NTSTATUS read_caller_entry(ULONG address, UCHAR entry[ENTRY_SIZE])
{
    OBJECT_ATTRIBUTES attributes;
    CLIENT_ID caller;
    HANDLE process;
    SIZE_T read = 0;
    NTSTATUS status;

    caller.UniqueProcess = PsGetCurrentProcessId();
    caller.UniqueThread = NULL;
    InitializeObjectAttributes(&attributes, NULL, OBJ_KERNEL_HANDLE, NULL, NULL);
    status = ZwOpenProcess(&process, PROCESS_VM_READ | PROCESS_QUERY_INFORMATION, &attributes,
                           &caller);
    if (!NT_SUCCESS(status))
        return status;
    status = read_virtual_memory(process, (PVOID)(ULONG_PTR)address, entry, ENTRY_SIZE, &read);
    ZwClose(process);
    if (NT_SUCCESS(status) && read != ENTRY_SIZE)
        status = STATUS_PARTIAL_COPY;
    return status;
}

/* The layout of the loader's module list, as this process's PEB holds it on x64. */
typedef struct {
    LIST_ENTRY load_order;
    LIST_ENTRY memory_order;
    LIST_ENTRY initialization_order;
    PVOID base;
    PVOID entry_point;
    ULONG image_size;
    UNICODE_STRING full_name;
    UNICODE_STRING base_name;
} loaded_module;

static BOOLEAN is_ntdll(const UNICODE_STRING *name)
{
    static const WCHAR ntdll[] = L"ntdll.dll";
    USHORT i;
    if (name->Length != sizeof ntdll - sizeof(WCHAR))
        return FALSE;
    for (i = 0; i < name->Length / sizeof(WCHAR); ++i) {
        WCHAR c = name->Buffer[i];
        if (c >= L'A' && c <= L'Z')
            c = (WCHAR)(c - L'A' + L'a');
        if (c != ntdll[i])
            return FALSE;
    }
    return TRUE;
}

static BOOLEAN same_name(const char *a, const char *b)
{
    while (*a != '\0' && *a == *b)
        ++a, ++b;
    return *a == *b;
}

/* Importing from ntdll would make Wine load this driver as an ordinary DLL, so the one
 * ntdll function needed is looked up in the module list of winedevice.exe. */
static ULONG_PTR find_ntdll_export(const char *wanted)
{
    const UCHAR *peb;
    const UCHAR *loader;
    const LIST_ENTRY *modules;
    const LIST_ENTRY *link;

    __asm__("movq %%gs:0x60, %0" : "=r"(peb)); /* the PEB, from this thread's TEB */
    loader = *(const UCHAR *const *)(peb + 0x18);
    modules = (const LIST_ENTRY *)(loader + 0x10);

    for (link = modules->Flink; link != modules; link = link->Flink) {
        const loaded_module *module = CONTAINING_RECORD(link, loaded_module, load_order);
        const UCHAR *base = module->base;
        const IMAGE_NT_HEADERS64 *headers;
        const IMAGE_DATA_DIRECTORY *directory;
        const IMAGE_EXPORT_DIRECTORY *exports;
        const ULONG *names, *functions;
        const USHORT *ordinals;
        ULONG i;

        if (!is_ntdll(&module->base_name))
            continue;
        headers = (const IMAGE_NT_HEADERS64 *)(base + ((const IMAGE_DOS_HEADER *)base)->e_lfanew);
        directory = &headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        exports = (const IMAGE_EXPORT_DIRECTORY *)(base + directory->VirtualAddress);
        names = (const ULONG *)(base + exports->AddressOfNames);
        functions = (const ULONG *)(base + exports->AddressOfFunctions);
        ordinals = (const USHORT *)(base + exports->AddressOfNameOrdinals);
        for (i = 0; i < exports->NumberOfNames; ++i)
            if (same_name((const char *)(base + names[i]), wanted))
                return (ULONG_PTR)(base + functions[ordinals[i]]);
        return 0;
    }
    return 0;
}

/* ---- requests ---- */

static NTSTATUS refuse(log_line *line, NTSTATUS status, const char *reason)
{
    put(line, " result=refused reason=");
    put(line, reason);
    put(line, " status=");
    put_hex(line, (ULONG)status);
    return status;
}

/* Decodes and checks one request, adding what it finds to the line; runs under the lock. */
static NTSTATUS evaluate(PIRP irp, PIO_STACK_LOCATION stack, log_line *line)
{
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG in_size = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const UCHAR *request = irp->AssociatedIrp.SystemBuffer;
    ULONG header, method, count, block_length, address, value;
    USHORT tag, value_length;
    UCHAR entry[ENTRY_SIZE];
    NTSTATUS status;

    put(line, " code=");
    put_hex(line, code);
    put_field(line, "in", in_size);
    put_field(line, "out", out_size);
    if (code != EVAL_METHOD_CONTROL_CODE)
        return refuse(line, STATUS_INVALID_DEVICE_REQUEST, "control-code");
    if (in_size != REQUEST_SIZE || out_size != OUTPUT_SIZE || request == NULL)
        return refuse(line, STATUS_INVALID_PARAMETER, "buffer-lengths");

    header = read_u32(request);
    method = read_u32(request + 4);
    count = read_u32(request + 8);
    block_length = read_u32(request + 12);
    address = read_u32(request + 16);
    put_field(line, "header", header);
    put(line, " method=");
    put_method(line, method);
    put_field(line, "count", count);
    put_field(line, "length", block_length);
    put(line, " address=");
    put_hex(line, address);
    if (header != 2)
        return refuse(line, STATUS_INVALID_PARAMETER, "header");
    if (count != 1)
        return refuse(line, STATUS_INVALID_PARAMETER, "argument-count");
    if (block_length != count * ENTRY_SIZE)
        return refuse(line, STATUS_INVALID_PARAMETER, "block-length");
    if (method != WLED && method != MLED)
        return refuse(line, STATUS_OBJECT_NAME_NOT_FOUND, "method");

    status = read_caller_entry(address, entry);
    if (!NT_SUCCESS(status))
        return refuse(line, STATUS_INVALID_USER_BUFFER, "address");
    tag = read_u16(entry);
    value_length = read_u16(entry + 2);
    value = read_u32(entry + 4);
    put_field(line, "tag", tag);
    put_field(line, "value_length", value_length);
    put_field(line, "value", value);
    if (tag != 0)
        return refuse(line, STATUS_INVALID_PARAMETER, "tag");
    if (value_length != 4)
        return refuse(line, STATUS_INVALID_PARAMETER, "value-length");

    if (read_value(&refuse_all_value) != 0)
        return refuse(line, STATUS_REFUSED_BY_SWITCH, "refuse-all");

    /* The firmware's mail method runs the other way: 0 switches that light on. */
    if (method == WLED) {
        wireless_on = value != 0;
        write_value(&wireless_value, wireless_on);
    } else {
        mail_on = value == 0;
        write_value(&mail_value, mail_on);
    }
    put(line, " result=accepted");
    return STATUS_SUCCESS;
}

static NTSTATUS complete(PIRP irp, NTSTATUS status)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = 0;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static void begin_line(log_line *line, const char *event)
{
    line->length = 0;
    put(line, event);
    put_field(line, "pid", (ULONG64)(ULONG_PTR)PsGetCurrentProcessId());
}

static void end_line_with_state(log_line *line)
{
    put(line, " wireless=");
    put(line, wireless_on ? "on" : "off");
    put(line, " mail=");
    put(line, mail_on ? "on" : "off");
    write_line(line);
}

static NTSTATUS dispatch_create(PDEVICE_OBJECT device_object, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    log_line line;
    (void)device_object;

    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    begin_line(&line, "open");
    put_field(&line, "share", stack->Parameters.Create.ShareAccess);
    write_line(&line);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS dispatch_close(PDEVICE_OBJECT device_object, PIRP irp)
{
    (void)device_object;
    return complete(irp, STATUS_SUCCESS);
}

static NTSTATUS dispatch_control(PDEVICE_OBJECT device_object, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    log_line line;
    NTSTATUS status;
    (void)device_object;

    KeWaitForSingleObject(&lock, Executive, KernelMode, FALSE, NULL);
    begin_line(&line, "request");
    status = evaluate(irp, stack, &line);
    end_line_with_state(&line);
    KeReleaseMutex(&lock, FALSE);
    return complete(irp, status);
}

/* ---- loading and unloading ---- */

static void release(void)
{
    if (device != NULL) {
        IoDeleteSymbolicLink(&link_name);
        IoDeleteDevice(device);
        device = NULL;
    }
    if (log_file != NULL) {
        ZwClose(log_file);
        log_file = NULL;
    }
    if (service_key != NULL) {
        ZwClose(service_key);
        service_key = NULL;
    }
}

static void unload(PDRIVER_OBJECT driver)
{
    (void)driver;
    release();
}

static NTSTATUS open_log(void)
{
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    InitializeObjectAttributes(&attributes, &log_name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                               NULL, NULL);
    return ZwCreateFile(&log_file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &io, NULL,
                        FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_IF,
                        FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0);
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path)
{
    OBJECT_ATTRIBUTES attributes;
    log_line line;
    NTSTATUS status;

    KeInitializeMutex(&lock, 0);
    read_virtual_memory = (read_virtual_memory_fn)find_ntdll_export("NtReadVirtualMemory");
    if (read_virtual_memory == NULL)
        return STATUS_PROCEDURE_NOT_FOUND;

    InitializeObjectAttributes(&attributes, registry_path,
                               OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    status = ZwOpenKey(&service_key, KEY_QUERY_VALUE | KEY_SET_VALUE, &attributes);
    if (!NT_SUCCESS(status))
        return status;
    wireless_on = read_value(&wireless_value) != 0;
    mail_on = read_value(&mail_value) != 0;

    status = open_log();
    if (NT_SUCCESS(status))
        status = IoCreateDevice(driver, 0, &device_name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (NT_SUCCESS(status)) {
        status = IoCreateSymbolicLink(&link_name, &device_name);
        if (!NT_SUCCESS(status)) {
            IoDeleteDevice(device);
            device = NULL;
        }
    }
    if (!NT_SUCCESS(status)) {
        release();
        return status;
    }

    driver->MajorFunction[IRP_MJ_CREATE] = dispatch_create;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatch_close;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_close;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_control;
    driver->DriverUnload = unload;

    begin_line(&line, "start");
    end_line_with_state(&line);
    return STATUS_SUCCESS;
}
