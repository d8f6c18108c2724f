# Checks a Windows image as a clean Windows would take it: its format, console subsystem,
# the DLLs it needs, the device calls it imports and its resources.
# Run with -DOBJDUMP=... -DWINDRES=... -DIMAGE=... -DFORMAT=pei-i386|pei-x86-64.

execute_process(COMMAND ${OBJDUMP} -p ${IMAGE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${IMAGE}")
endif()
execute_process(COMMAND ${WINDRES} -J coff -O rc -i ${IMAGE}
  OUTPUT_VARIABLE resources RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${WINDRES} cannot read the resources of ${IMAGE}")
endif()

set(problems "")
function(expect text pattern what)
  if(NOT text MATCHES "${pattern}")
    set(problems "${problems}\n  ${what}" PARENT_SCOPE)
  endif()
endfunction()

expect("${headers}" "file format ${FORMAT}\n" "format ${FORMAT}")
expect("${headers}" "\nSubsystem[ \t]+00000003[ \t]+[(]Windows CUI[)]" "console subsystem")
expect("${headers}" "\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+CreateFileA\n" "import CreateFileA")
expect("${headers}" "\n[ \t]+[0-9a-f]+[ \t]+[0-9]+[ \t]+DeviceIoControl\n" "import DeviceIoControl")
expect("${resources}" "\n1 VERSIONINFO\n" "a version resource")
expect("${resources}" "\"OriginalFilename\", \"quorvel.exe\"" "the original file name")
expect("${resources}" "level=\"\"asInvoker\"\"" "a manifest running as invoker")
expect("${resources}" "supportedOS Id=\"\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"\""
  "a manifest naming Windows 10 among the supported systems")

string(REGEX MATCHALL "\n1 24 " manifests "${resources}")
list(LENGTH manifests manifest_count)
if(NOT manifest_count EQUAL 1)
  string(APPEND problems "\n  exactly one manifest, has ${manifest_count}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${headers}")
list(SORT dlls CASE INSENSITIVE)
if(NOT dlls STREQUAL "DLL Name: KERNEL32.dll;DLL Name: msvcrt.dll")
  string(APPEND problems "\n  needs exactly KERNEL32.dll and msvcrt.dll, needs: ${dlls}")
endif()

if(problems)
  message(FATAL_ERROR "${IMAGE} lacks:${problems}")
endif()
message(STATUS "${IMAGE}: ${FORMAT}, console, KERNEL32.dll and msvcrt.dll only, manifest and version")
