# The widget half of UnitZUL_General: connect and identification, the Comms page, polling, the
# status panel and the helpers that every module page shares. Included from this folder's
# CMakeLists.txt.
add_library(zul_module STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChannelHelpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UnitZUL_General.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetConnectPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetCommsPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetStatusPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetTimePicker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WidgetBuilders.cpp
)
target_include_directories(zul_module PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zul_module PUBLIC zul_module_core zul_comms Qt6::Widgets)
