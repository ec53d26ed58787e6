# add_application_image(NAME PROJECT file.json SOURCES a.cpp ... [OUTPUT_DIR dir]
#                       [SEES folder ...])
#
# Builds an application image the way every application of this runtime is
# built: the image builder writes the project header, the sources are compiled
# as application code (freestanding, no exceptions, RTTI, global constructors
# or stack probes), and the builder links the objects with the project's data
# and appends the image to the runtime, vellory-runtime.exe. Produces DIR/NAME.exe and the
# separate-file form in DIR/NAME-dat/; the target NAME builds both. The sources
# include the project header as "NAME_project.h" ("-" in NAME becomes "_").
# Application code is linked with the runtime by name only, so it is compiled
# seeing only the repository's sdk/ and app/ (SEES names other top folders
# it may see besides sdk/, for test applications): an include of the
# runtime's own headers fails to compile.
set(APPLICATION_CXX_FLAGS
  -O2 -fno-exceptions -fno-rtti -ffreestanding -fno-threadsafe-statics
  -fno-asynchronous-unwind-tables -mno-stack-arg-probe -fno-stack-protector
  -fno-omit-frame-pointer)

function(add_application_image name)
  cmake_parse_arguments(APP "" "PROJECT;OUTPUT_DIR" "SOURCES;SEES" ${ARGN})
  if(NOT APP_SEES)
    set(APP_SEES app)
  endif()
  if(NOT APP_OUTPUT_DIR)
    set(APP_OUTPUT_DIR ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${name}-generated)
  string(REPLACE "-" "_" stem ${name})
  set(header ${generated}/${stem}_project.h)
  add_custom_command(OUTPUT ${header}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${IMAGE_BUILDER} header --project ${APP_PROJECT} -o ${header}
    DEPENDS ${APP_PROJECT} ${IMAGE_BUILDER}
    COMMENT "Project header for ${name}")
  add_custom_target(${name}_header DEPENDS ${header})
  # The builder is the host sub-build's output: a rule in another folder that
  # names its file does not know the sub-build makes it, so the order is said.
  add_dependencies(${name}_header host)

  add_library(${name}_code OBJECT ${APP_SOURCES} ${CMAKE_SOURCE_DIR}/sdk/app_support.cpp)
  target_compile_options(${name}_code PRIVATE ${APPLICATION_CXX_FLAGS})
  # A folder of links to the top folders the code may see stands in for the
  # repository root on its include path.
  set(view ${generated}/view)
  file(MAKE_DIRECTORY ${view})
  foreach(folder sdk ${APP_SEES})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  set_property(TARGET ${name}_code PROPERTY INCLUDE_DIRECTORIES ${generated} ${view})
  # Code shared by several images includes its project header by this name.
  target_compile_definitions(${name}_code PRIVATE VS_PROJECT_HEADER="${stem}_project.h")
  add_dependencies(${name}_code ${name}_header)

  set(exe ${APP_OUTPUT_DIR}/${name}.exe)
  add_custom_command(OUTPUT ${exe}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${APP_OUTPUT_DIR}/${name}-dat
    COMMAND ${IMAGE_BUILDER} build --project ${APP_PROJECT} --runtime $<TARGET_FILE:vellory-runtime>
            --names ${ENTRY_NAMES} -o ${exe} -d ${APP_OUTPUT_DIR}/${name}-dat
            $<TARGET_OBJECTS:${name}_code>
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:vellory-runtime> ${APP_OUTPUT_DIR}/${name}-dat/${name}.exe
    DEPENDS ${name}_code $<TARGET_OBJECTS:${name}_code> vellory-runtime ${IMAGE_BUILDER}
            ${APP_PROJECT} ${ENTRY_NAMES}
    COMMAND_EXPAND_LISTS
    COMMENT "Application image ${name}")
  add_custom_target(${name} ALL DEPENDS ${exe})
endfunction()
