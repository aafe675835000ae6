# Layers of the code: each is a static library of its own, linked only to the layers below it.
#
#   warstwa(NAME [PLIKI globs...] [FOLDER folder NAZWY names...] [BEZ paths-or-names...]
#           [NIZEJ layers below...] [QT Qt libraries...] [ZEWNETRZNE other libraries...]
#           [DODATKI extra sources...])
#
# PLIKI are globs below the source root; FOLDER with NAZWY takes src/<folder>/<name>.cpp and .h;
# BEZ leaves out a file by its path below the source root or by its name without extension;
# ZEWNETRZNE are libraries from outside the project, DODATKI sources outside the layer check (Qt
# resource files). With FAKTURA_ASAN_OBOK every layer has a twin, NAME_asan, built from the same
# files with the sanitizers and linked to the twins of the layers below it. A layer
# may include its own headers and those of the layers below it, however far down; every layer's
# files and what it may include are written to warstwy.txt in the build folder for the include
# check (cmake/sprawdz_warstwy.cmake), which the test command runs.

option(FAKTURA_WARSTWY_JEDNOLITE "Compile each layer's files in batches (unity build)" ON)
set_property(GLOBAL PROPERTY FAKTURA_WARSTWY "")

function(warstwa nazwa)
  cmake_parse_arguments(W "" "FOLDER" "PLIKI;NAZWY;BEZ;NIZEJ;QT;ZEWNETRZNE;DODATKI" ${ARGN})
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
  set(zestaw_naglowkow "")
  if(Qt6::Widgets IN_LIST W_QT)
    set(zestaw_naglowkow okna)
  endif()
  add_library(${nazwa} STATIC ${zrodla} ${W_DODATKI})
  # A layer's files compiled a few at a time as one unit: they include mostly the same headers,
  # which are then parsed once per batch. File-local helpers of one layer need names of their own.
  set_target_properties(${nazwa} PROPERTIES UNITY_BUILD ${FAKTURA_WARSTWY_JEDNOLITE} UNITY_BUILD_BATCH_SIZE 8)
  target_include_directories(${nazwa} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${nazwa} PUBLIC ${W_NIZEJ} ${W_QT} ${W_ZEWNETRZNE})
  wspolne_naglowki(${nazwa} ${zestaw_naglowkow})
  if(FAKTURA_ASAN_OBOK)
    add_library(${nazwa}_asan STATIC ${zrodla} ${W_DODATKI})
    set_target_properties(${nazwa}_asan PROPERTIES UNITY_BUILD ${FAKTURA_WARSTWY_JEDNOLITE} UNITY_BUILD_BATCH_SIZE 8)
    target_include_directories(${nazwa}_asan PUBLIC ${CMAKE_SOURCE_DIR}/src)
    list(TRANSFORM W_NIZEJ APPEND _asan OUTPUT_VARIABLE nizej_asan)
    target_link_libraries(${nazwa}_asan PUBLIC ${nizej_asan} ${W_QT} ${W_ZEWNETRZNE})
    target_compile_options(${nazwa}_asan PRIVATE ${FLAGI_ASAN})
    wspolne_naglowki(${nazwa}_asan ${zestaw_naglowkow} ASAN)
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

# A program of the project: its sources, the layers it links, the set of precompiled headers it
# reuses (NAGLOWKI okna for a program with a window) and its own macros (DEFINICJE). BEZ_BLIZNIAKA: no test starts the program, so
# it has no sanitizer twin (its layers have). Its sanitizer twin (with
# FAKTURA_ASAN_OBOK) has the same name in asan/ of the build folder, so that the sanitizer build's
# tests find it as the normal tests find the normal one.
function(program nazwa)
  cmake_parse_arguments(P "BEZ_BLIZNIAKA" "" "ZRODLA;WARSTWY;NAGLOWKI;DEFINICJE" ${ARGN})
  add_executable(${nazwa} ${P_ZRODLA})
  target_link_libraries(${nazwa} PRIVATE ${P_WARSTWY})
  target_compile_definitions(${nazwa} PRIVATE ${P_DEFINICJE})
  wspolne_naglowki(${nazwa} ${P_NAGLOWKI} DODATKOWY)
  if(FAKTURA_ASAN_OBOK AND NOT P_BEZ_BLIZNIAKA)
    add_executable(${nazwa}_asan ${P_ZRODLA})
    list(TRANSFORM P_WARSTWY APPEND _asan OUTPUT_VARIABLE warstwy_asan)
    target_link_libraries(${nazwa}_asan PRIVATE ${warstwy_asan})
    target_compile_definitions(${nazwa}_asan PRIVATE ${P_DEFINICJE})
    target_compile_options(${nazwa}_asan PRIVATE ${FLAGI_ASAN})
    wspolne_naglowki(${nazwa}_asan ${P_NAGLOWKI} ASAN DODATKOWY)
    target_link_options(${nazwa}_asan PRIVATE ${FLAGI_ASAN_LACZENIA})
    set_target_properties(${nazwa}_asan PROPERTIES OUTPUT_NAME ${nazwa}
                                                   RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/asan)
  endif()
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
  # The sanitizer twins' headers are compiled with their own flags.
  if("ASAN" IN_LIST ARGN)
    set(zestaw ${zestaw}_asan)
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
