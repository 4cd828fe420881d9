# The Windows build: the suite's libraries over the Win32 backend of
# platform/win, the native renderer, the programs larkspur.exe, fenmoor.exe and
# tarnwick.exe, and their tests, which run under Wine (CTest label `windows`).
#
# The libraries are static, so each program is one file. Each library takes the
# sources of its folder, less tests, benchmarks, fuzz targets and what only the
# Linux build has (the SQLite registry store and our registry editor, the Qt
# view, add-in loading); a program links only the objects it uses.

add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)
# Line tables (cheap to make): the debug information that ships beside each
# program (NAME.exe.debug) maps addresses to functions and lines.
add_compile_options(-g1)
# The runtime of the toolchain goes into each program (no DLLs beside them).
add_link_options(-static)

# tarnwick_windows_library(NAME FOLDER [EXCLUDE file ...] [EXTRA file ...] [LIBS lib ...])
function(tarnwick_windows_library name folder)
  cmake_parse_arguments(L "" "" "EXCLUDE;EXTRA;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_(test|bench|fuzz)\\.cpp$|/(fuzz|bench)_[^/]*\\.cpp$")
  foreach(file ${L_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${folder}/${file})
  endforeach()
  add_library(${name} STATIC ${sources} ${L_EXTRA})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
endfunction()

tarnwick_windows_library(tarnwick_base base)
add_library(tarnwick_contract INTERFACE)
target_link_libraries(tarnwick_contract INTERFACE tarnwick_base)
file(GLOB _win32_backend CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/win/win32/*.cpp)
list(FILTER _win32_backend EXCLUDE REGEX "_test\\.cpp$")
tarnwick_windows_library(tarnwick_win platform/win
  # The POSIX backend and the suite's own registry store and editor.
  EXCLUDE registry.cpp registry_store.cpp registry_script.cpp registry_script_parser.cpp
          profile.cpp files.cpp process.cpp guid.cpp last_error.cpp file_system_posix.cpp code_page_posix.cpp
          path_text.cpp
  EXTRA ${_win32_backend}
  LIBS tarnwick_base advapi32 ole32 shell32)
tarnwick_windows_library(tarnwick_forms platform/forms LIBS tarnwick_win)
tarnwick_windows_library(tarnwick_mts platform/mts LIBS tarnwick_win)
# Add-ins are loaded only by the environment window, which the Windows build
# does not have.
tarnwick_windows_library(tarnwick_vbide platform/vbide
  EXCLUDE addin_host.cpp addin_registration.cpp addin_abi.cpp
  LIBS tarnwick_contract tarnwick_win)
tarnwick_windows_library(tarnwick_about shared EXCLUDE com_addin.cpp LIBS tarnwick_forms)
tarnwick_windows_library(quillon_core quillon
  EXCLUDE quillon_addin.cpp quillon_com.cpp
  LIBS tarnwick_vbide tarnwick_about tarnwick_forms)
tarnwick_windows_library(config_core config
  EXCLUDE addin.cpp config_com.cpp
  LIBS tarnwick_vbide tarnwick_about tarnwick_forms)
tarnwick_windows_library(wendover_core wendover
  EXCLUDE wendover_addin.cpp wendover_com.cpp
  LIBS tarnwick_vbide tarnwick_about tarnwick_forms)
tarnwick_windows_library(larkspur_core larkspur LIBS tarnwick_about tarnwick_forms tarnwick_win)
tarnwick_windows_library(fenmoor_core fenmoor LIBS tarnwick_about tarnwick_forms tarnwick_mts tarnwick_win)

# tarnwick_windows_program(NAME PRODUCT DESCRIPTION MAJOR MINOR REVISION [ICON name]):
# the program's resources (manifest, icon, version information), and, after
# linking, its debug information moved to NAME.exe.debug beside it, which the
# stripped program names (so a debugger finds it).
enable_language(RC)
function(tarnwick_windows_program name product description major minor revision)
  cmake_parse_arguments(P "" "ICON" "" ${ARGN})
  set(PROGRAM ${name})
  set(PRODUCT ${product})
  set(DESCRIPTION ${description})
  set(MAJOR ${major})
  set(MINOR ${minor})
  set(REVISION ${revision})
  set(MANIFEST ${CMAKE_SOURCE_DIR}/cmake/windows_program.manifest)
  if(P_ICON)
    # Named as the forms name it ("icon:larkspur" is LARKSPUR): the view
    # loads it for the windows and the About box; Explorer shows it too.
    string(TOUPPER ${P_ICON} icon_name)
    set(ICON_LINE "${icon_name} ICON \"${CMAKE_SOURCE_DIR}/platform/forms/win32/icons/${P_ICON}.ico\"")
  else()
    set(ICON_LINE "")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows_program.rc.in ${CMAKE_BINARY_DIR}/${name}.rc @ONLY)
  target_sources(${name} PRIVATE ${CMAKE_BINARY_DIR}/${name}.rc)
  set(depends ${MANIFEST})
  if(P_ICON)
    list(APPEND depends ${CMAKE_SOURCE_DIR}/platform/forms/win32/icons/${P_ICON}.ico)
  endif()
  set_source_files_properties(${CMAKE_BINARY_DIR}/${name}.rc PROPERTIES OBJECT_DEPENDS "${depends}")
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${name}> $<TARGET_FILE:${name}>.debug
    COMMAND ${CMAKE_STRIP} --strip-debug --strip-unneeded $<TARGET_FILE:${name}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE:${name}>.debug $<TARGET_FILE:${name}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${name}>
    VERBATIM)
endfunction()

add_executable(tarnwick ${CMAKE_SOURCE_DIR}/apps/tarnwick/main.cpp
                        ${CMAKE_SOURCE_DIR}/apps/tarnwick/script_commands.cpp)
target_link_libraries(tarnwick PRIVATE quillon_core config_core larkspur_core fenmoor_core)
tarnwick_windows_program(tarnwick Tarnwick "Tarnwick command line for VB6 projects and registry scripts"
  ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH})

# ---- COM: the add-in DLLs the VB6 IDE loads, and the host that plays it -----

# Our COM layer and the contract over the IDE's automation objects.
file(GLOB _com_ide CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/com/ide/*.cpp)
tarnwick_windows_library(tarnwick_com platform/com
  EXTRA ${_com_ide}
  LIBS tarnwick_base ole32 oleaut32 uuid advapi32)
# The environment stand-in served through COM, and loading add-ins by ProgID.
tarnwick_windows_library(tarnwick_com_host platform/com/host LIBS tarnwick_com tarnwick_vbide)
add_library(tarnwick_com_addin STATIC ${CMAKE_SOURCE_DIR}/shared/com_addin.cpp)
target_link_libraries(tarnwick_com_addin PUBLIC tarnwick_com tarnwick_forms_win32)

# tarnwick_com_addin_dll(NAME SOURCE CORE): an add-in DLL with the four
# exports (undecorated, as the IDE and regsvr32 look them up).
function(tarnwick_com_addin_dll name source core)
  add_library(${name} SHARED ${CMAKE_SOURCE_DIR}/${source} ${CMAKE_SOURCE_DIR}/platform/com/addin_exports.def)
  set_target_properties(${name} PROPERTIES PREFIX "")
  target_link_libraries(${name} PRIVATE ${core} tarnwick_com_addin)
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
endfunction()
tarnwick_com_addin_dll(Quillon quillon/quillon_com.cpp quillon_core)
tarnwick_com_addin_dll(Config config/config_com.cpp config_core)
tarnwick_com_addin_dll(Wendover wendover/wendover_com.cpp wendover_core)

# ---- Tests under Wine ------------------------------------------------------

enable_testing()
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

add_library(tarnwick_test_main STATIC ${CMAKE_SOURCE_DIR}/cmake/test_main.cpp
                                      ${CMAKE_SOURCE_DIR}/cmake/test_support_win32.cpp
                                      ${CMAKE_SOURCE_DIR}/platform/win/registry_script_parser.cpp)
target_compile_definitions(tarnwick_test_main PRIVATE
  TARNWICK_BUILD_DIR="Z:${CMAKE_BINARY_DIR}" TARNWICK_SOURCE_DIR="Z:${CMAKE_SOURCE_DIR}")
target_link_libraries(tarnwick_test_main PUBLIC gtest gmock tarnwick_win)
target_compile_options(tarnwick_test_main PRIVATE -Wno-restrict)  # see tarnwick_windows_test

# Every test runs under 32-bit Wine in one private WoW64 prefix (a 64-bit
# prefix with the 32-bit half, as every 64-bit Windows), made once per test run
# by the fixture below, with Wine's server kept up between the programs. The
# fixture fails unless a 32-bit probe program really ran.
set(TARNWICK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(_wine_environment
  WINEPREFIX=${TARNWICK_WINEPREFIX}
  WINEDEBUG=-all
  "WINEDLLOVERRIDES=mscoree,mshtml="
  WINEARCH=win64)
set(_wine ${CMAKE_SOURCE_DIR}/cmake/wine_test.sh)

add_executable(wine_probe ${CMAKE_SOURCE_DIR}/cmake/wine_probe.cpp)
add_test(NAME windows_prefix_up COMMAND ${_wine} up $<TARGET_FILE:wine_probe>)
add_test(NAME windows_prefix_down COMMAND ${_wine} down)
set_tests_properties(windows_prefix_up PROPERTIES
  FIXTURES_SETUP wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 120)
set_tests_properties(windows_prefix_down PROPERTIES
  FIXTURES_CLEANUP wine ENVIRONMENT "${_wine_environment}" LABELS windows)

# tarnwick_windows_test(NAME SOURCES ... LIBS ... [GUI]): one GoogleTest program,
# one CTest test labelled `windows`, run under Wine with the fixture's X server
# as its display. GUI tests take turns on that display, since focus and
# activation are shared there.
function(tarnwick_windows_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tarnwick_test_main)
  # GCC 12 for i686 misreads some string concatenations in the tests as
  # overlapping copies (its bug 105329); the Linux build checks them.
  target_compile_options(${name} PRIVATE -Wno-restrict)
  add_test(NAME ${name} COMMAND ${_wine} run $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 300)
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_display)
  endif()
endfunction()

tarnwick_windows_test(win32_platform_test
  SOURCES
    ${CMAKE_SOURCE_DIR}/platform/win/registry_behaviour_test.cpp
    ${CMAKE_SOURCE_DIR}/platform/win/guid_test.cpp
    ${CMAKE_SOURCE_DIR}/platform/win/win32/file_system_test.cpp
    ${CMAKE_SOURCE_DIR}/platform/win/files_test.cpp
    ${CMAKE_SOURCE_DIR}/platform/win/profile_test.cpp
  LIBS tarnwick_win)

# tarnwick.exe against the Linux program of the release tree, byte for byte.
set(TARNWICK_LINUX_TREE ${CMAKE_SOURCE_DIR}/build/release CACHE PATH
  "The Linux build whose tarnwick the Windows one is compared with")
add_test(NAME windows_tarnwick_same_bytes
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/same_bytes_test.sh ${TARNWICK_LINUX_TREE}/bin/tarnwick
          $<TARGET_FILE:tarnwick> ${CMAKE_SOURCE_DIR}/samples/project)
set_tests_properties(windows_tarnwick_same_bytes PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 300)

# The native renderer of the forms runtime.
tarnwick_windows_library(tarnwick_forms_win32 platform/forms/win32 LIBS tarnwick_forms user32 gdi32)

foreach(program larkspur fenmoor)
  add_executable(${program} WIN32 ${CMAKE_SOURCE_DIR}/apps/${program}/main.cpp)
  target_link_libraries(${program} PRIVATE ${program}_core tarnwick_forms_win32)
endforeach()
tarnwick_windows_program(larkspur Larkspur "Larkspur OLE DB simple provider registration" 1 0 8 ICON larkspur)
tarnwick_windows_program(fenmoor Fenmoor "Fenmoor Custom Object Wizard" 1 0 0 ICON fenmoor)
tarnwick_windows_test(win32_view_test
  SOURCES ${CMAKE_SOURCE_DIR}/platform/forms/win32/win32_view_test.cpp
  LIBS tarnwick_forms_win32 GUI)

# The programs' forms in the native view, end to end with the system's
# registry editor.
# The test program carries Larkspur's icon as larkspur.exe does.
file(WRITE ${CMAKE_BINARY_DIR}/larkspur_windows_test.rc
  "LARKSPUR ICON \"${CMAKE_SOURCE_DIR}/platform/forms/win32/icons/larkspur.ico\"\n")
tarnwick_windows_test(larkspur_windows_test
  SOURCES ${CMAKE_SOURCE_DIR}/larkspur/provider_file_test.cpp ${CMAKE_BINARY_DIR}/larkspur_windows_test.rc
  LIBS larkspur_core tarnwick_forms_win32 GUI)
tarnwick_windows_test(fenmoor_windows_test
  SOURCES ${CMAKE_SOURCE_DIR}/apps/fenmoor/wizard_windows_test.cpp
  LIBS fenmoor_core tarnwick_forms_win32 GUI)

# The suite's tests that need no Qt, built from the same sources as on Linux
# and run under Wine. Where Wine departs from Windows a test skips with the
# reason.
function(tarnwick_windows_suite_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  list(TRANSFORM T_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
  tarnwick_windows_test(${name} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
endfunction()

tarnwick_windows_suite_test(windows_base_test
  SOURCES base/vb_error_test.cpp base/text_test.cpp base/line_diff_test.cpp
          platform/forms/controls_test.cpp platform/forms/form_test.cpp
          platform/forms/headless_test.cpp
          shared/frmAbout_test.cpp shared/command_options_test.cpp
  LIBS tarnwick_about tarnwick_forms)
tarnwick_windows_suite_test(windows_vbide_test
  SOURCES platform/vbide/code_rules_test.cpp platform/vbide/declaration_checker_test.cpp
          platform/vbide/module_file_test.cpp platform/vbide/environment_test.cpp
          platform/vbide/project_file_test.cpp
  LIBS tarnwick_vbide)
tarnwick_windows_suite_test(windows_quillon_test
  SOURCES quillon/generator_test.cpp quillon/procedure_command_test.cpp
          quillon/frmDialog_test.cpp quillon/Connect_test.cpp
  LIBS quillon_core)
tarnwick_windows_suite_test(windows_config_test
  SOURCES config/store_text_test.cpp config/store_test.cpp config/dialog_test.cpp
          config/Connect_test.cpp config/project_check_test.cpp config/unified_diff_test.cpp
          config/config_command_test.cpp
  LIBS config_core)
# The command's tests copy the sample project and kill tarnwick.exe mid-switch.
target_compile_definitions(windows_config_test PRIVATE CONFIG_SAMPLE_PROJECT="Z:${CMAKE_SOURCE_DIR}/samples/project")
add_dependencies(windows_config_test tarnwick)
tarnwick_windows_suite_test(windows_wendover_test
  SOURCES wendover/basWendover_test.cpp wendover/frmOptions_test.cpp wendover/Connect_test.cpp
  LIBS wendover_core)
tarnwick_windows_suite_test(windows_larkspur_test
  SOURCES larkspur/basOLESP_test.cpp larkspur/provider_script_test.cpp
          larkspur/CRegistry_test.cpp larkspur/frmOLESP_test.cpp larkspur/provider_command_test.cpp
          larkspur/end_to_end_test.cpp
  LIBS larkspur_core)
tarnwick_windows_suite_test(windows_fenmoor_test
  SOURCES fenmoor/list_entry_test.cpp fenmoor/registration_script_test.cpp
          fenmoor/frmWizard_test.cpp fenmoor/safety_command_test.cpp
  LIBS fenmoor_core)

# The save path over the Win32 file system: the fault loop, refusals, the
# writer lock, recovery and journals that are not the project's own; and
# reading files whole, within a bound.
tarnwick_windows_suite_test(windows_save_test
  SOURCES platform/win/save_test.cpp platform/win/save_crash_test.cpp
          platform/win/save_lock_test.cpp platform/win/file_read_test.cpp
  LIBS tarnwick_win)
# Code pages, starting programs, and the transaction server's catalog over
# the system's registry (it writes HKEY_LOCAL_MACHINE, so it takes its turn
# with the other programs that do).
tarnwick_windows_suite_test(windows_platform_test
  SOURCES platform/win/code_page_test.cpp platform/win/process_test.cpp
          platform/mts/catalog_test.cpp
  LIBS tarnwick_mts)
set_tests_properties(windows_platform_test PROPERTIES RESOURCE_LOCK wine_registry)
# The contract's headers compiled alone, seeing only base/ and contract/.
tarnwick_contract_view(_contract_view)
tarnwick_windows_suite_test(windows_contract_test
  SOURCES contract/vbide_alone_test.cpp contract/addin_alone_test.cpp
  LIBS tarnwick_contract)
set_property(TARGET windows_contract_test PROPERTY INCLUDE_DIRECTORIES ${_contract_view})
# The tools' registry scripts imported by the editor the programs start land
# in the 32-bit view only.
add_test(NAME windows_registry_view COMMAND ${CMAKE_SOURCE_DIR}/cmake/registry_view_test.sh $<TARGET_FILE:tarnwick>)
set_tests_properties(windows_registry_view PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 120
  RESOURCE_LOCK wine_registry)
# Finish and GO! import into the machine's registry through the system's editor.
set_tests_properties(larkspur_windows_test fenmoor_windows_test PROPERTIES RESOURCE_LOCK "wine_registry;wine_display")

# The programs as they ship: dist/windows/ filled and checked.
add_test(NAME windows_dist
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/dist_windows.sh ${CMAKE_BINARY_DIR}/bin ${CMAKE_SOURCE_DIR}/dist/windows
          tarnwick larkspur fenmoor)
set_tests_properties(windows_dist PROPERTIES LABELS windows)
# The add-in DLLs loaded by ProgID into the environment served over COM.
tarnwick_windows_test(com_addins_test
  SOURCES ${CMAKE_SOURCE_DIR}/platform/com/host/com_addins_test.cpp
  LIBS tarnwick_com_host)
add_dependencies(com_addins_test Quillon Config Wendover)
add_test(NAME windows_com_register
  COMMAND ${CMAKE_SOURCE_DIR}/cmake/com_register_test.sh ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(windows_com_register PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 120
  RESOURCE_LOCK wine_registry)
tarnwick_windows_test(com_dialogs_test
  SOURCES ${CMAKE_SOURCE_DIR}/platform/com/host/com_dialogs_test.cpp
  LIBS tarnwick_com_host tarnwick_forms_win32 GUI)
add_dependencies(com_dialogs_test Quillon Config)
set_tests_properties(com_addins_test com_dialogs_test PROPERTIES RESOURCE_LOCK "wine_registry;wine_display")

# The stand-in playing the IDE for the add-in DLLs (apps/vbhost/main.cpp).
add_executable(vbhost ${CMAKE_SOURCE_DIR}/apps/vbhost/main.cpp)
target_link_libraries(vbhost PRIVATE tarnwick_com_host)
add_test(NAME windows_vbhost COMMAND ${CMAKE_SOURCE_DIR}/cmake/vbhost_test.sh ${CMAKE_BINARY_DIR}/bin
         ${CMAKE_SOURCE_DIR}/samples/project)
set_tests_properties(windows_vbhost PROPERTIES
  FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 120
  RESOURCE_LOCK wine_registry)

# The installer, dist/windows/tarnwick-setup-<version>.exe (NSIS).
find_program(TARNWICK_MAKENSIS makensis)
if(TARNWICK_MAKENSIS)
  set(_setup ${CMAKE_SOURCE_DIR}/dist/windows/tarnwick-setup-${PROJECT_VERSION}.exe)
  set(_nsi ${CMAKE_SOURCE_DIR}/packaging/windows/tarnwick.nsi)
  add_custom_command(OUTPUT ${_setup}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/dist/windows
    COMMAND ${TARNWICK_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DBIN=${CMAKE_BINARY_DIR}/bin
            -DOUTFILE=${_setup} ${_nsi}
    DEPENDS ${_nsi} larkspur fenmoor tarnwick Quillon Config Wendover
    COMMENT "Building the installer tarnwick-setup-${PROJECT_VERSION}.exe")
  add_custom_target(installer ALL DEPENDS ${_setup})
  add_test(NAME windows_installer COMMAND ${CMAKE_SOURCE_DIR}/cmake/installer_test.sh ${_setup})
  set_tests_properties(windows_installer PROPERTIES
    FIXTURES_REQUIRED wine ENVIRONMENT "${_wine_environment}" LABELS windows TIMEOUT 180
    RESOURCE_LOCK wine_registry)
endif()

# The contract through COM in one process: served, then wrapped again.
tarnwick_windows_test(com_contract_test
  SOURCES ${CMAKE_SOURCE_DIR}/platform/com/com_contract_test.cpp
  LIBS tarnwick_com_host)

# The add-ins' behaviour tests a second time, with every call of the add-in
# going through COM to the environment (platform/vbide/vbe_under_test.h).
tarnwick_windows_suite_test(windows_quillon_through_com_test
  SOURCES quillon/Connect_test.cpp LIBS quillon_core tarnwick_com_host)
tarnwick_windows_suite_test(windows_config_through_com_test
  SOURCES config/Connect_test.cpp LIBS config_core tarnwick_com_host)
target_compile_definitions(windows_quillon_through_com_test PRIVATE TARNWICK_THROUGH_COM)
target_compile_definitions(windows_config_through_com_test PRIVATE TARNWICK_THROUGH_COM)
tarnwick_windows_suite_test(windows_wendover_through_com_test
  SOURCES wendover/Connect_test.cpp LIBS wendover_core tarnwick_com_host)
target_compile_definitions(windows_wendover_through_com_test PRIVATE TARNWICK_THROUGH_COM)
# The environment's own behaviour tests a second time, every contract call
# going through COM to the environment served as vbhost.exe serves it.
tarnwick_windows_suite_test(windows_vbide_through_com_test
  SOURCES platform/vbide/environment_test.cpp LIBS tarnwick_vbide tarnwick_com_host)
target_compile_definitions(windows_vbide_through_com_test PRIVATE TARNWICK_THROUGH_COM)

# vbhost.exe --screenshot takes its picture with the native view's writer.
target_sources(vbhost PRIVATE ${CMAKE_SOURCE_DIR}/apps/vbhost/window_shot.cpp)
target_link_libraries(vbhost PRIVATE tarnwick_forms_win32)
set_tests_properties(windows_vbhost PROPERTIES RESOURCE_LOCK "wine_registry;wine_display")
