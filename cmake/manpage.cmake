# Writes a man page from the usage text a program prints for --help, so that the page and the
# program never say different things.
#   cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x.y -DSEE_ALSO=a,b -DOUT=file.1 -P manpage.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE usage RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR usage STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${rc})")
endif()

# Text for roff: backslashes escaped, hyphens as minus signs, no line taken for a request.
function(roff_text in out)
  string(REPLACE "\\" "\\e" text "${in}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REGEX REPLACE "\n$" "" usage "${usage}")
roff_text("${usage}" body)
roff_text("${SUMMARY}" summary)
string(TOUPPER "${NAME}" title)
string(TIMESTAMP date "%Y-%m-%d" UTC)

set(page ".TH ${title} 1 \"${date}\" \"Marlinq ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n${NAME} \\- ${summary}\n")
string(APPEND page ".SH SYNOPSIS AND OPTIONS\n")
string(APPEND page "The text that \\fB${NAME} \\-\\-help\\fR prints:\n.PP\n.nf\n${body}\n.fi\n")
if(SEE_ALSO)
  set(refs "")
  string(REPLACE "," ";" SEE_ALSO "${SEE_ALSO}")
  foreach(other ${SEE_ALSO})
    list(APPEND refs "\\fB${other}\\fR(1)")
  endforeach()
  list(JOIN refs ", " refs)
  string(APPEND page ".SH SEE ALSO\n${refs}\n")
endif()
file(WRITE ${OUT} "${page}")
