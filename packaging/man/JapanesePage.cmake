# Fills a Japanese manual page template from the English page that help2man
# made, so that both list the same options:
#   cmake -DENGLISH=page.1 -DTEMPLATE=page.ja.1.in -DOUTPUT=page.ja.1
#         -DVERSION=x.y.z -P JapanesePage.cmake
# @SYNOPSIS@, @OPTIONS@ and @COPYRIGHT@ become the bodies of those sections of
# the English page, @VERSION@ the version and @DATE@ the month of
# SOURCE_DATE_EPOCH (of the build when it is unset).
file(READ "${ENGLISH}" english)

# The body of section `name`: from its heading to the next heading.
function(section_body name out)
    set(heading "\n.SH ${name}\n")
    string(FIND "${english}" "${heading}" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "${ENGLISH} has no section ${name}")
    endif()
    string(LENGTH "${heading}" length)
    math(EXPR start "${start} + ${length}")
    string(SUBSTRING "${english}" ${start} -1 rest)
    string(FIND "${rest}" "\n.SH " end)
    if(end EQUAL -1)
        string(LENGTH "${rest}" end)
    endif()
    string(SUBSTRING "${rest}" 0 ${end} body)
    set(${out} "${body}" PARENT_SCOPE)
endfunction()

section_body(SYNOPSIS SYNOPSIS)
section_body(OPTIONS OPTIONS)
section_body(COPYRIGHT COPYRIGHT)
string(TIMESTAMP DATE "%Y年%m月" UTC)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
