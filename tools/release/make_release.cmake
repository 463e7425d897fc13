# Stages the release files and packs them:
#   cmake -DDLL= -DGUIDE= -DICONV= -DSTRIP= -DDEBUG_DIR= -DSTAGE= -DZIP= -P
# The archive gets the DLL without its debug sections; the unstripped twin stays in DEBUG_DIR
# for reading crash addresses of the shipped build.
file(REMOVE_RECURSE ${STAGE} ${DEBUG_DIR})
file(MAKE_DIRECTORY ${STAGE} ${DEBUG_DIR})
file(COPY ${DLL} DESTINATION ${DEBUG_DIR})
file(COPY ${DLL} DESTINATION ${STAGE})
if(NOT STRIP)
  message(FATAL_ERROR "no strip tool: the release DLL would ship its debug sections")
endif()
execute_process(COMMAND ${STRIP} --strip-all ${STAGE}/LumaraList.dll RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
  message(FATAL_ERROR "could not strip ${STAGE}/LumaraList.dll")
endif()
file(READ ${GUIDE} text)
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${STAGE}/readme.txt "${text}")
set(files LumaraList.dll readme.txt)
if(ICONV)
  execute_process(COMMAND ${ICONV} -f UTF-8 -t CP932 ${STAGE}/readme.txt
                  OUTPUT_FILE ${STAGE}/readme-sjis.txt RESULT_VARIABLE converted)
  if(converted EQUAL 0)
    list(APPEND files readme-sjis.txt)
  else()
    message(WARNING "the Shift-JIS guide could not be made")
  endif()
endif()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${files}
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE packed)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "could not pack ${ZIP}")
endif()
