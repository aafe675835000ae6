# Layers of the code: each is a static library of its own, linked only to the layers below it.
#
#   warstwa(NAME [PLIKI globs...] [FOLDER folder NAZWY names...] [BEZ paths-or-names...]
#           [NIZEJ layers below...] [QT Qt libraries...])
#
# PLIKI are globs below the source root; FOLDER with NAZWY takes src/<folder>/<name>.cpp and .h;
# BEZ leaves out a file by its path below the source root or by its name without extension. A layer
# may include its own headers and those of the layers below it, however far down; every layer's
# files and what it may include are written to warstwy.txt in the build folder for the include
# check (cmake/sprawdz_warstwy.cmake), which the test command runs.

option(FAKTURA_WARSTWY_JEDNOLITE "Compile each layer's files in batches (unity build)" ON)
set_property(GLOBAL PROPERTY FAKTURA_WARSTWY "")

function(warstwa nazwa)
  cmake_parse_arguments(W "" "FOLDER" "PLIKI;NAZWY;BEZ;NIZEJ;QT" ${ARGN})
  set(pliki "")
  foreach(wzor ${W_PLIKI})
    file(GLOB znalezione CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${wzor})
    list(APPEND pliki ${znalezione})
  endforeach()
  foreach(n ${W_NAZWY})
    foreach(rozszerzenie cpp h)
      if(EXISTS ${CMAKE_SOURCE_DIR}/src/${W_FOLDER}/${n}.${rozszerzenie})
        list(APPEND pliki src/${W_FOLDER}/${n}.${rozszerzenie})
      endif()
    endforeach()
  endforeach()
  set(wybrane "")
  foreach(plik ${pliki})
    get_filename_component(bez_rozszerzenia ${plik} NAME_WE)
    if(NOT plik IN_LIST W_BEZ AND NOT bez_rozszerzenia IN_LIST W_BEZ)
      list(APPEND wybrane ${plik})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES wybrane)
  list(TRANSFORM wybrane PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE zrodla)
  add_library(${nazwa} STATIC ${zrodla})
  # A layer's files compiled a few at a time as one unit: they include mostly the same headers,
  # which are then parsed once per batch. File-local helpers of one layer need names of their own.
  set_target_properties(${nazwa} PROPERTIES UNITY_BUILD ${FAKTURA_WARSTWY_JEDNOLITE} UNITY_BUILD_BATCH_SIZE 8)
  target_include_directories(${nazwa} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${nazwa} PUBLIC ${W_NIZEJ} ${W_QT})
  if(Qt6::Widgets IN_LIST W_QT)
    wspolne_naglowki(${nazwa} okna)
  else()
    wspolne_naglowki(${nazwa})
  endif()

  # What the layer may include: itself and everything below the layers it names.
  set(dozwolone ${nazwa})
  foreach(nizsza ${W_NIZEJ})
    get_property(jej GLOBAL PROPERTY FAKTURA_DOZWOLONE_${nizsza})
    list(APPEND dozwolone ${jej})
  endforeach()
  list(REMOVE_DUPLICATES dozwolone)
  set_property(GLOBAL PROPERTY FAKTURA_DOZWOLONE_${nazwa} ${dozwolone})
  list(JOIN dozwolone "," dozwolone_tekst)
  set(wiersze "")
  foreach(plik ${wybrane})
    string(APPEND wiersze "${nazwa} ${dozwolone_tekst} ${plik}\n")
  endforeach()
  set_property(GLOBAL APPEND_STRING PROPERTY FAKTURA_WARSTWY "${wiersze}")
endfunction()

# Writes the list of every layer's files; files below src/ that no layer holds are listed as such,
# apart from the programs' main() files, which may include whatever their program links.
function(zapisz_warstwy)
  get_property(wiersze GLOBAL PROPERTY FAKTURA_WARSTWY)
  file(WRITE ${CMAKE_BINARY_DIR}/warstwy.txt "${wiersze}")
endfunction()

# Precompiled headers: the Qt (and test) headers that most files of a target include, parsed once
# instead of once per file. A layer below the window gets only QtCore's. With GCC each of the three
# sets is compiled once, by the first target that asks for it (store, okno, glowny_testow), and the
# later targets reuse it: their compile flags are the same and the macros they define on top of the
# first target's do not occur in these headers (-Winvalid-pch would say so). Other compilers (the
# clang fuzz build) refuse a header compiled with other macros, so there each target compiles its
# own. DODATKOWY: only a reused set, never a target's own (a small target would spend more on it
# than it saves).
option(FAKTURA_PCH "Precompile the common Qt and test headers" ON)
function(wspolne_naglowki cel)
  if(NOT FAKTURA_PCH)
    return()
  endif()
  set(naglowki <QString> <QByteArray> <QStringList> <QDir> <QFileInfo> <memory> <optional> <string> <vector>)
  set(zestaw podstawowe)
  if("okna" IN_LIST ARGN)
    list(APPEND naglowki <QWidget> <QLabel> <QLineEdit> <QComboBox> <QPushButton> <QTableWidget> <QPainter>)
    set(zestaw okna)
  endif()
  if("testy" IN_LIST ARGN)
    list(APPEND naglowki <gtest/gtest.h>)
    set(zestaw ${zestaw}_testy)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    get_property(dawca GLOBAL PROPERTY FAKTURA_PCH_${zestaw})
    if(dawca)
      target_precompile_headers(${cel} REUSE_FROM ${dawca})
      return()
    endif()
    if("DODATKOWY" IN_LIST ARGN)
      return()
    endif()
    set_property(GLOBAL PROPERTY FAKTURA_PCH_${zestaw} ${cel})
  elseif("DODATKOWY" IN_LIST ARGN)
    return()
  endif()
  target_precompile_headers(${cel} PRIVATE ${naglowki})
endfunction()
