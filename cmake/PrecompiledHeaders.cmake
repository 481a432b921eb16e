# Qt's and the test framework's headers are most of what each source file compiles. Every target
# precompiles the common ones of the libraries it links, once, instead of parsing them again in
# each of its files. What a target may include stays what it links: a logic library that does not
# reach Qt Widgets gets no Widgets header.
#
# A precompiled header is 150-280 MB on disk, so only targets with enough sources to repay it get
# one: the big libraries and test programs, which are most of the compiling.

set(_ventrolo_pch_Qt6_Core
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QJsonArray>
  <QJsonDocument> <QJsonObject> <QList> <QLoggingCategory> <QObject> <QPointer>
  <QRegularExpression> <QString> <QStringList> <QTemporaryDir> <QTimer> <QVariant>
  <algorithm> <functional> <memory> <optional> <vector>)
set(_ventrolo_pch_Qt6_Gui <QColor> <QImage> <QKeyEvent> <QPainter>)
set(_ventrolo_pch_Qt6_Widgets
  <QAction> <QApplication> <QCheckBox> <QDialog> <QGroupBox> <QHBoxLayout> <QLabel> <QLineEdit>
  <QMenu> <QMessageBox> <QPushButton> <QVBoxLayout> <QWidget>)
set(_ventrolo_pch_Qt6_Network <QHostAddress> <QTcpServer> <QTcpSocket>)
set(_ventrolo_pch_Qt6_Test <QSignalSpy> <QTest>)
set(_ventrolo_pch_GTest_gtest <gtest/gtest.h>)
set(_ventrolo_pch_GTest_gmock <gmock/gmock.h>)
set(_ventrolo_pch_libraries Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network Qt6::Test GTest::gtest
  GTest::gmock)

# A library by its own name, not an alias of it.
function(_ventrolo_unaliased name out)
  set(result "${name}")
  if(TARGET "${name}")
    get_target_property(aliased "${name}" ALIASED_TARGET)
    if(aliased)
      set(result "${aliased}")
    endif()
  endif()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# The libraries `target` links, directly or through others, by their own (unaliased) names.
function(_ventrolo_linked_libraries target out)
  set(seen "")
  set(todo "${target}")
  while(todo)
    list(POP_FRONT todo current)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" current "${current}")
    if(NOT TARGET "${current}")
      continue()
    endif()
    _ventrolo_unaliased("${current}" current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen "${current}")
    if(current STREQUAL target)
      get_target_property(libraries "${current}" LINK_LIBRARIES)
    else()
      get_target_property(libraries "${current}" INTERFACE_LINK_LIBRARIES)
    endif()
    if(libraries)
      list(APPEND todo ${libraries})
    endif()
  endwhile()
  set(${out} "${seen}" PARENT_SCOPE)
endfunction()

# Gives every compiled target under `directory` (and its subdirectories) its precompiled headers.
function(ventrolo_precompile_headers directory)
  get_property(targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type "${target}" TYPE)
    if(NOT type MATCHES "^(STATIC_LIBRARY|SHARED_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
      continue()
    endif()
    get_target_property(sources "${target}" SOURCES)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources source_count)
    if(source_count LESS VENTROLO_PCH_MIN_SOURCES)
      continue()
    endif()
    _ventrolo_linked_libraries("${target}" linked)
    set(headers "")
    foreach(library IN LISTS _ventrolo_pch_libraries)
      _ventrolo_unaliased("${library}" name)
      if(name IN_LIST linked)
        string(REPLACE "::" "_" id "${library}")
        list(APPEND headers ${_ventrolo_pch_${id}})
      endif()
    endforeach()
    if(headers)
      target_precompile_headers("${target}" PRIVATE ${headers})
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    ventrolo_precompile_headers("${subdirectory}")
  endforeach()
endfunction()
