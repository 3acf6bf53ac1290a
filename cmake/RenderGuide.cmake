# Renders docs/guide.md into one HTML page: cmake -DCMARK= -DIN= -DOUT= -DCSS= -DTITLE= -DVERSION= -P
execute_process(COMMAND ${CMARK} --extension table --extension autolink --to html ${IN}
                OUTPUT_VARIABLE body RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmark-gfm failed on ${IN}")
endif()
file(READ ${CSS} style)
file(WRITE ${OUT} "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
     "<title>${TITLE} ${VERSION}: operator's guide</title>\n<style>\n${style}\n</style>\n</head>\n"
     "<body>\n${body}<hr>\n<p><small>${TITLE} ${VERSION}</small></p>\n</body>\n</html>\n")
