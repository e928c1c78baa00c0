# Writes OUT: the named string ids of every "<Unit>_Strings.txt" table in TABLES, one
# namespace a unit (two tables share a few names). An id is the unit's slot * 1000 plus the
# index of the line among the table's non-empty lines, as the string lookup counts them.
set(slots AssembleCompileUnit ComUnit DebugUnit EditorUnit ExternLangUnit ZK_CodeUnit
          ProgressUnit TarnUnit QvBasicUnit QVCUnit QvKeyUnit QvSimUnit TemplateUnit
          WindowsMenuUnit)
set(body "#pragma once\n// Generated from the string tables in resources/strings/; do not edit.\n\n")
string(APPEND body "namespace string_ids {\n")
set(slot 0)
set(every "")
foreach(unit ${slots})
  set(table ${ROOT}/strings/${unit}_Strings.txt)
  if(EXISTS ${table})
    file(READ ${table} text)
    # Only the names matter: keep list separators and brackets out of the texts.
    string(REGEX REPLACE "[][;\r]" "_" text "${text}")
    # A backslash would escape the list separator that follows it and join two lines.
    string(REPLACE "\\" "_" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    string(APPEND body "namespace ${unit} {\n")
    math(EXPR id "${slot} * 1000")
    foreach(line IN LISTS lines)
      if(line STREQUAL "")
        continue()
      endif()
      if(line MATCHES "^(SCU_[A-Za-z0-9_]+)\t")
        string(APPEND body "inline constexpr int ${CMAKE_MATCH_1} = ${id};\n")
        string(APPEND every "    {\"${unit}\", \"${CMAKE_MATCH_1}\", ${id}},\n")
      endif()
      math(EXPR id "${id} + 1")
    endforeach()
    string(APPEND body "}  // namespace ${unit}\n")
  endif()
  math(EXPR slot "${slot} + 1")
endforeach()
# Every name with its unit, so that a test can check each against the table it came from.
string(APPEND body "struct NamedId {\n  const char* unit;\n  const char* name;\n  int id;\n};\n")
string(APPEND body "inline constexpr NamedId kEveryId[] = {\n${every}};\n")
string(APPEND body "}  // namespace string_ids\n")
file(WRITE ${OUT}.tmp "${body}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
