# Windows-only targets. Each part lives in its own file.
include(${CMAKE_CURRENT_LIST_DIR}/Win32Shell.cmake OPTIONAL)  # focura.exe, adapters, adapter tests
include(${CMAKE_CURRENT_LIST_DIR}/Desktop.cmake OPTIONAL)     # desktop helpers and stand-in (check, e2e)
include(${CMAKE_CURRENT_LIST_DIR}/ZSim.cmake OPTIONAL)        # zsim.exe, built-in simulator
include(${CMAKE_CURRENT_LIST_DIR}/App.cmake OPTIONAL)         # the tool wired: focura.exe
include(${CMAKE_CURRENT_LIST_DIR}/E2E.cmake OPTIONAL)         # end-to-end suite under Wine
include(${CMAKE_CURRENT_LIST_DIR}/Release.cmake OPTIONAL)     # version resource, split debug info, package
include(${CMAKE_CURRENT_LIST_DIR}/Check.cmake OPTIONAL)        # focura-check.exe, the PC check
