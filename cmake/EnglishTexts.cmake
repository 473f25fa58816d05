# Writes the English texts of one context of the English translation table as C++ initialiser rows
# {"key", "text"}, so that code without Qt reads the texts the table holds rather than a copy kept
# by hand. Only finished, non-empty translations are taken (lrelease leaves the others out too);
# plural forms are left out, since code without Qt never asks for them.
#
# Usage: cmake -DTS_FILE=cindervault_en.ts -DCONTEXT=Shared -DOUTPUT=EnglishTexts.inc -P EnglishTexts.cmake
# The output is rewritten only when its content changes.

cmake_minimum_required(VERSION 3.25)

foreach(required TS_FILE CONTEXT OUTPUT)
    if(NOT DEFINED ${required})
        message(FATAL_ERROR "EnglishTexts.cmake: ${required} is not set")
    endif()
endforeach()

file(READ "${TS_FILE}" table)

# The text between the first `open` and the next `close` in `text` (into `out`), and what follows
# that `close` (into `rest`); `out` is unset when `open` is not there.
function(cut text open close out rest)
    string(FIND "${text}" "${open}" begin)
    if(begin EQUAL -1)
        unset(${out} PARENT_SCOPE)
        return()
    endif()
    string(LENGTH "${open}" open_length)
    math(EXPR begin "${begin} + ${open_length}")
    string(SUBSTRING "${text}" ${begin} -1 after)
    string(FIND "${after}" "${close}" end)
    if(end EQUAL -1)
        message(FATAL_ERROR "EnglishTexts.cmake: ${TS_FILE}: ${open} without ${close}")
    endif()
    string(SUBSTRING "${after}" 0 ${end} inside)
    string(LENGTH "${close}" close_length)
    math(EXPR end "${end} + ${close_length}")
    string(SUBSTRING "${after}" ${end} -1 remainder)
    set(${out} "${inside}" PARENT_SCOPE)
    set(${rest} "${remainder}" PARENT_SCOPE)
endfunction()

# The characters lupdate escapes, back as they are; a character reference is refused rather than
# copied as it stands, which would put "&#x9;" into a text.
function(xml_unescape text out)
    foreach(pair "&lt;|<" "&gt;|>" "&quot;|\"" "&apos;|'")
        string(FIND "${pair}" "|" bar)
        string(SUBSTRING "${pair}" 0 ${bar} entity)
        math(EXPR bar "${bar} + 1")
        string(SUBSTRING "${pair}" ${bar} -1 character)
        string(REPLACE "${entity}" "${character}" text "${text}")
    endforeach()
    string(FIND "${text}" "&#" reference)
    if(NOT reference EQUAL -1)
        message(FATAL_ERROR "EnglishTexts.cmake: ${TS_FILE}: a character reference in \"${text}\"")
    endif()
    string(REPLACE "&amp;" "&" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# text as the inside of a C++ string literal.
function(cpp_literal text out)
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(REPLACE "\n" "\\n" text "${text}")
    string(REPLACE "\t" "\\t" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The context's block: from its name to the end of that context.
string(FIND "${table}" "<name>${CONTEXT}</name>" start)
if(start EQUAL -1)
    message(FATAL_ERROR "EnglishTexts.cmake: ${TS_FILE} has no context ${CONTEXT}")
endif()
string(SUBSTRING "${table}" ${start} -1 block)
string(FIND "${block}" "</context>" end)
string(SUBSTRING "${block}" 0 ${end} block)

set(rows "")
set(count 0)
while(TRUE)
    cut("${block}" "<message" "</message>" entry block)
    if(NOT DEFINED entry)
        break()
    endif()
    string(FIND "${entry}" "<numerusform>" plural)
    cut("${entry}" "<source>" "</source>" source ignored)
    # A translation with attributes is unfinished, vanished or obsolete: not the table's text.
    cut("${entry}" "<translation>" "</translation>" translation ignored)
    if(NOT plural EQUAL -1 OR NOT DEFINED source OR NOT DEFINED translation OR translation STREQUAL "")
        continue()
    endif()
    xml_unescape("${source}" source)
    xml_unescape("${translation}" translation)
    cpp_literal("${source}" source)
    cpp_literal("${translation}" translation)
    string(APPEND rows "{\"${source}\", \"${translation}\"},\n")
    math(EXPR count "${count} + 1")
endwhile()
if(count EQUAL 0)
    message(FATAL_ERROR "EnglishTexts.cmake: no finished translation in context ${CONTEXT} of ${TS_FILE}")
endif()

get_filename_component(table_name "${TS_FILE}" NAME)
set(content "// Made at build time from ${table_name} (context ${CONTEXT}) by cmake/EnglishTexts.cmake: edit the table, not this file.\n${rows}")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" previous)
endif()
if(NOT "${previous}" STREQUAL "${content}")
    file(WRITE "${OUTPUT}" "${content}")
endif()
