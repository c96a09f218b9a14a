# Helpers that make every deliverable, test program and script client read alike.

set(ZYK_IDL_INCLUDE /usr/include/wine/wine/windows CACHE PATH "Platform IDL files for widl imports")
set(ZYK_TLB_LIBDIR /usr/lib/i386-linux-gnu/wine/i386-windows CACHE PATH "Where widl finds stdole2.tlb")

# zyk_idl(<target-prefix> <idl>): type library, C++ header and GUID definitions.
# Sets <prefix>_TLB, <prefix>_HEADER and <prefix>_GUIDS in the caller's scope.
function(zyk_idl PREFIX IDL)
  get_filename_component(base ${IDL} NAME_WE)
  get_filename_component(idl_abs ${IDL} ABSOLUTE)
  get_filename_component(idl_dir ${idl_abs} DIRECTORY)
  set(out ${CMAKE_CURRENT_BINARY_DIR})
  set(flags -m32 --win32 -I${ZYK_IDL_INCLUDE} -L${ZYK_TLB_LIBDIR} -I${idl_dir})
  add_custom_command(
    OUTPUT ${out}/${base}.tlb ${out}/${base}.h ${out}/${base}_i.c
    COMMAND ${ZYK_WIDL} ${flags} -t -o ${out}/${base}.tlb ${idl_abs}
    COMMAND ${ZYK_WIDL} ${flags} -h -o ${out}/${base}.h ${idl_abs}
    COMMAND ${ZYK_WIDL} ${flags} -u -o ${out}/${base}_i.c ${idl_abs}
    DEPENDS ${idl_abs}
    COMMENT "widl ${base}.idl")
  set(${PREFIX}_TLB ${out}/${base}.tlb PARENT_SCOPE)
  set(${PREFIX}_HEADER ${out}/${base}.h PARENT_SCOPE)
  set(${PREFIX}_GUIDS ${out}/${base}_i.c PARENT_SCOPE)
endfunction()

# zyk_coclass_ids(<idl> <prefix>): sets <prefix>_<Name> to the uuid (upper case) of each
# coclass of the IDL file, in the caller's scope.
function(zyk_coclass_ids IDL PREFIX)
  file(READ ${IDL} text)
  # The matches come back as a list, where a ';' splits an item and an unmatched '[' joins
  # items: '[' and ';' go, and an attribute list's closing ']' reads '@'.
  string(REGEX REPLACE "[[;]" " " text "${text}")
  string(REPLACE "]" "@" text "${text}")
  string(REGEX MATCHALL "uuid\\([0-9A-Fa-f-]+\\)[^@]*@[ \t\r\n]*coclass[ \t\r\n]+[A-Za-z_][A-Za-z0-9_]*" found
         "${text}")
  foreach(m IN LISTS found)
    string(REGEX MATCH "^uuid\\(([0-9A-Fa-f-]+)\\).*coclass[ \t\r\n]+([A-Za-z0-9_]+)$" ignored "${m}")
    string(TOUPPER ${CMAKE_MATCH_1} id)
    set(${PREFIX}_${CMAKE_MATCH_2} ${id} PARENT_SCOPE)
  endforeach()
endfunction()

# zyk_version_resource(<target> RC <file.rc> DESCRIPTION <text> PRODUCT <text> FILENAME <file>
#   LANGUAGE <language id> CODEPAGE <code page> [SELFREGISTER])
# Writes <target>_version.rc, the deliverable's version resource made from
# cmake/templates/version.rc.in, for its .rc file to include at its end (under the language
# that file set last). SELFREGISTER marks a module that registers itself.
function(zyk_version_resource TARGET)
  cmake_parse_arguments(V "SELFREGISTER" "RC;DESCRIPTION;PRODUCT;FILENAME;LANGUAGE;CODEPAGE" "" ${ARGN})
  set(VERSION_INTERNAL ${TARGET})
  set(VERSION_DESCRIPTION ${V_DESCRIPTION})
  set(VERSION_PRODUCT ${V_PRODUCT})
  set(VERSION_FILENAME ${V_FILENAME})
  set(VERSION_LANGUAGE ${V_LANGUAGE})
  set(VERSION_CODEPAGE ${V_CODEPAGE})
  # The string block is named by the language and code page, four hex digits each.
  set(VERSION_BLOCK "")
  foreach(n ${V_LANGUAGE} ${V_CODEPAGE})
    math(EXPR n "0x10000 + ${n}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING ${n} 3 4 digits)
    string(TOUPPER ${digits} digits)
    string(APPEND VERSION_BLOCK ${digits})
  endforeach()
  set(VERSION_SELFREGISTER "")
  if(V_SELFREGISTER)
    set(VERSION_SELFREGISTER "            VALUE \"OLESelfRegister\", \"\\0\"\n")
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${TARGET}_version.rc)
  configure_file(${ZYK_SOURCE_DIR}/cmake/templates/version.rc.in ${out} @ONLY)
  target_include_directories(${TARGET} PRIVATE ${CMAKE_CURRENT_BINARY_DIR})
  get_filename_component(rc_abs ${V_RC} ABSOLUTE)
  set_property(SOURCE ${rc_abs} APPEND PROPERTY OBJECT_DEPENDS ${out})
endfunction()

# zyk_add_server(<name>
#   IDL <file.idl> RC <file.rc> DEF <file.def> LIBID <guid> [PROGWORD <word>] [SUFFIX .dll|.cpl]
#   SOURCES <files...> LIBS <libs...>
#   CLASSES <row>...)
# The class table is where a class's identity is written: one row a class, in the order
# registration runs their scripts,
#   "<Name> <script id> [WORD <word>] [IMPL <C++ class>] [CONTROL <bitmap id> <MiscStatus>] [NOAGGREGATION]"
# Its class id is the uuid of the IDL's coclass <Name>; its ProgIDs are <word>.<Name>.1 and
# <word>.<Name>, the word being PROGWORD (default: the server's name) unless the row says
# otherwise; C<Name> implements it unless IMPL names the class; it is aggregatable unless
# NOAGGREGATION. Its registration script is made from cmake/templates/class.rgs.in, or
# control.rgs.in for an ActiveX control (CONTROL: its toolbox bitmap resource id and the
# MiscStatus bits of its content aspect, decimal), and compiled in as a "REGISTRY"
# resource under its script id, e.g.
#   "Devices 102 IMPL CGfxDevices CONTROL 101 131473"
# The rows also make <name>_classes.h (cmake/templates/classes.h.in), from which module.cpp
# makes its object map and the tests their tables. The module's version resource is
# <name>_version.rc (zyk_version_resource), which its .rc file includes.
function(zyk_add_server NAME)
  cmake_parse_arguments(S "" "IDL;RC;DEF;LIBID;PROGWORD;SUFFIX" "SOURCES;LIBS;CLASSES" ${ARGN})
  if(NOT S_PROGWORD)
    set(S_PROGWORD ${NAME})
  endif()
  set(gen ${CMAKE_CURRENT_BINARY_DIR})
  zyk_idl(IDL ${S_IDL})
  get_filename_component(idl_abs ${S_IDL} ABSOLUTE)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${idl_abs})
  zyk_coclass_ids(${idl_abs} coclass)

  set(registry_rc "")
  set(rgs_files "")
  set(rows "")
  set(script_ids "")
  foreach(row IN LISTS S_CLASSES)
    string(STRIP "${row}" row)
    string(REGEX REPLACE "[ \t]+" ";" fields "${row}")
    list(POP_FRONT fields RGS_NAME script_id)
    if(NOT script_id MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${NAME}: class row \"${row}\" needs a name and a script id")
    endif()
    if(script_id IN_LIST script_ids)
      message(FATAL_ERROR "${NAME}: script id ${script_id} of ${RGS_NAME} is taken")
    endif()
    list(APPEND script_ids ${script_id})
    set(RGS_CLSID ${coclass_${RGS_NAME}})
    if(NOT RGS_CLSID)
      message(FATAL_ERROR "${NAME}: ${S_IDL} has no coclass ${RGS_NAME}")
    endif()
    set(RGS_PROGWORD ${S_PROGWORD})
    set(impl C${RGS_NAME})
    set(aggregatable true)
    set(template class)
    set(RGS_TOOLBOX 0)
    set(RGS_MISCSTATUS "")
    while(fields)
      list(POP_FRONT fields key)
      if(key STREQUAL "WORD")
        list(POP_FRONT fields RGS_PROGWORD)
      elseif(key STREQUAL "IMPL")
        list(POP_FRONT fields impl)
      elseif(key STREQUAL "CONTROL")
        list(POP_FRONT fields RGS_TOOLBOX RGS_MISCSTATUS)
        set(template control)
        if(NOT RGS_TOOLBOX MATCHES "^[1-9][0-9]*$" OR NOT RGS_MISCSTATUS MATCHES "^[0-9]+$")
          message(FATAL_ERROR "${NAME}: control ${RGS_NAME} needs a toolbox bitmap id and its MiscStatus")
        endif()
      elseif(key STREQUAL "NOAGGREGATION")
        set(aggregatable false)
      else()
        message(FATAL_ERROR "${NAME}: class ${RGS_NAME}: unknown field \"${key}\"")
      endif()
    endwhile()
    set(RGS_LIBID ${S_LIBID})
    configure_file(${ZYK_SOURCE_DIR}/cmake/templates/${template}.rgs.in ${gen}/rgs/${RGS_NAME}.rgs @ONLY)
    string(APPEND registry_rc "${script_id} REGISTRY \"rgs/${RGS_NAME}.rgs\"\n")
    list(APPEND rgs_files ${gen}/rgs/${RGS_NAME}.rgs)
    if(template STREQUAL "control")
      set(misc "L\"${RGS_MISCSTATUS}\"")
    else()
      set(misc nullptr)
    endif()
    string(APPEND rows " \\\n    X(${RGS_NAME}, L\"${RGS_NAME}\", ${script_id}, ${impl}, ${aggregatable}, L\"${RGS_PROGWORD}\", "
           "L\"${RGS_PROGWORD}.${RGS_NAME}.1\", ${RGS_TOOLBOX}, ${misc})")
  endforeach()
  file(WRITE ${gen}/registry.rc.tmp "${registry_rc}")
  configure_file(${gen}/registry.rc.tmp ${gen}/registry.rc COPYONLY)
  set(CLASSES_SERVER ${NAME})
  string(TOUPPER "${NAME}_CLASSES" CLASSES_MACRO)
  set(CLASSES_ROWS "${rows}")
  configure_file(${ZYK_SOURCE_DIR}/cmake/templates/classes.h.in ${gen}/${NAME}_classes.h @ONLY)

  get_filename_component(rc_abs ${S_RC} ABSOLUTE)
  set_source_files_properties(${rc_abs} PROPERTIES
    OBJECT_DEPENDS "${IDL_TLB};${rgs_files};${gen}/registry.rc")

  add_library(${NAME} SHARED ${S_SOURCES} ${rc_abs} ${S_DEF} ${IDL_GUIDS} ${IDL_HEADER})
  zyk_version_resource(${NAME} RC ${rc_abs} DESCRIPTION "${NAME} Module" PRODUCT "${NAME} Module"
    FILENAME ${NAME}.DLL LANGUAGE 0x409 CODEPAGE 1200 SELFREGISTER)
  target_include_directories(${NAME} PRIVATE ${gen} ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${NAME} PRIVATE ${S_LIBS})
  target_link_options(${NAME} PRIVATE -Wl,--enable-stdcall-fixup)
  set_target_properties(${NAME} PROPERTIES PREFIX "" OUTPUT_NAME ${NAME})
  if(S_SUFFIX)
    set_target_properties(${NAME} PROPERTIES SUFFIX ${S_SUFFIX})
  endif()
  # The interface and class ids, for clients built in this tree (tests, the applet).
  add_library(${NAME}_ids STATIC ${IDL_GUIDS} ${IDL_HEADER})
  target_include_directories(${NAME}_ids PUBLIC ${gen})

  set_property(TARGET ${NAME} PROPERTY ZYK_TLB ${IDL_TLB})
  set_property(TARGET ${NAME} PROPERTY ZYK_GENERATED_DIR ${gen})
  set_property(GLOBAL APPEND PROPERTY ZYK_SERVERS ${NAME})

  # The LIBID read back from the built type library must be the declared one.
  add_custom_command(TARGET ${NAME} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DTLB=${IDL_TLB} -DLIBID=${S_LIBID}
            -P ${ZYK_SOURCE_DIR}/cmake/check_libid.cmake
    VERBATIM)
endfunction()

# Include directory of a server's generated header (for tests and the applet).
function(zyk_use_server_headers TARGET SERVER)
  get_target_property(gen ${SERVER} ZYK_GENERATED_DIR)
  target_include_directories(${TARGET} PRIVATE ${gen})
endfunction()

# zyk_add_test(<name> SOURCES <files...> [LIBS <libs...>] [SERVERS <servers...>] [DESKTOP])
# A GoogleTest program run under Wine through CTest; DESKTOP runs it inside a Wine
# virtual desktop, where display modes can change.
function(zyk_add_test NAME)
  cmake_parse_arguments(T "DESKTOP" "" "SOURCES;LIBS;SERVERS" ${ARGN})
  add_executable(${NAME} ${T_SOURCES})
  target_link_libraries(${NAME} PRIVATE gtest zyk_testkit ${T_LIBS})
  foreach(server ${T_SERVERS})
    target_link_libraries(${NAME} PRIVATE ${server}_ids)
    add_dependencies(${NAME} ${server})
  endforeach()
  if(T_DESKTOP)
    add_test(NAME ${NAME} COMMAND ${ZYK_SOURCE_DIR}/tools/wine-desktop $<TARGET_FILE:${NAME}> --gtest_color=no
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    add_test(NAME ${NAME} COMMAND ${NAME} --gtest_color=no
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()

# zyk_add_script_test(<name> <script.vbs>): a script client run by cscript under Wine.
# Wine's cscript exits with 0 and prints nothing on a script error, so a script passes
# only when it prints the line "ok" at its end and no line with "FAIL".
# With WINDOW the script runs under tests/clients' window host and gets the handle of a
# shown window as its argument; DESKTOP runs that host inside a Wine virtual desktop, where
# the display can go full screen.
function(zyk_add_script_test NAME SCRIPT)
  cmake_parse_arguments(S "WINDOW;DESKTOP" "" "" ${ARGN})
  get_filename_component(abs ${SCRIPT} ABSOLUTE)
  if(S_DESKTOP)
    add_test(NAME ${NAME} COMMAND ${ZYK_SOURCE_DIR}/tools/wine-desktop $<TARGET_FILE:window_host> "Z:${abs}"
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  elseif(S_WINDOW)
    add_test(NAME ${NAME} COMMAND wine $<TARGET_FILE:window_host> "Z:${abs}"
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  else()
    add_test(NAME ${NAME} COMMAND wine cscript //nologo "Z:${abs}"
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set_tests_properties(${NAME} PROPERTIES PASS_REGULAR_EXPRESSION "(^|\n)ok\r?\n"
                                           FAIL_REGULAR_EXPRESSION "FAIL")
endfunction()
