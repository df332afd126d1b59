# Checks that the folders of src/ form a stack without circles: a file may
# include headers of its own folder and of the folders below it, never of a
# folder above. The encoder library also stays free of every toolkit: it
# includes the standard library and the toolkit-free headers of the layers
# below it only. Run as: cmake -DKV_SRC=<src folder> -P CheckLayers.cmake
#
cmake_minimum_required(VERSION 3.25)

# The stack, lowest first. A new folder takes its place here.
set(KV_LAYERS vbscript resources platform encoders data model print drivers editor app)
# Headers of lower layers that may use a toolkit; the encoders may not include them.
set(KV_TOOLKIT_HEADERS platform/dc.h platform/font.h platform/font_substitute.h platform/picture_decoder.h
                       platform/time_locale.h platform/spooler.h)

if(NOT KV_SRC)
  message(FATAL_ERROR "give the source folder with -DKV_SRC=...")
endif()

set(faults "")
file(GLOB folders LIST_DIRECTORIES true RELATIVE ${KV_SRC} ${KV_SRC}/*)
foreach(folder ${folders})
  if(NOT IS_DIRECTORY ${KV_SRC}/${folder})
    continue()
  endif()
  list(FIND KV_LAYERS ${folder} rank)
  if(rank EQUAL -1)
    list(APPEND faults "src/${folder} has no place in the layer stack (cmake/CheckLayers.cmake)")
    continue()
  endif()
  file(GLOB_RECURSE sources ${KV_SRC}/${folder}/*.h ${KV_SRC}/${folder}/*.cpp)
  foreach(source ${sources})
    file(RELATIVE_PATH name ${KV_SRC} ${source})
    file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "#[ \t]*include[ \t]*\"([^\"/]+)/([^\"]+)\"")
        set(target ${CMAKE_MATCH_1})
        set(header ${CMAKE_MATCH_1}/${CMAKE_MATCH_2})
        list(FIND KV_LAYERS ${target} targetRank)
        if(targetRank GREATER rank)
          list(APPEND faults "src/${name} includes ${header}: ${target} is above ${folder}")
        elseif(folder STREQUAL "encoders" AND header IN_LIST KV_TOOLKIT_HEADERS)
          list(APPEND faults "src/${name} includes ${header}, which uses a toolkit")
        endif()
      elseif(line MATCHES "#[ \t]*include[ \t]*<([^>]+)>")
        set(header ${CMAKE_MATCH_1})
        if(folder STREQUAL "encoders" AND NOT header MATCHES "^[a-z_]+$")
          list(APPEND faults "src/${name} includes <${header}>: the encoders use the standard library only")
        elseif(header MATCHES "^(QtWidgets/|QWidget|QApplication|QDialog|QMainWindow)")
          list(APPEND faults "src/${name} includes <${header}>: the core has no widgets")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "layering:\n  ${text}")
endif()
