# The pure readers of untrusted bytes and the fuzz targets over them, for
# both fuzzers: the seeded one in the host build and the coverage-guided one
# in its own 32-bit build. REPO is the repository's root.
set(FUZZED_READER_SOURCES
  ${REPO}/app/frame_assembler.cpp
  ${REPO}/app/pref_codec.cpp
  ${REPO}/objects/class_descriptor.cpp
  ${REPO}/objects/memory_span.cpp
  ${REPO}/objects/unwind_records.cpp
  ${REPO}/plugins/declaration_parser.cpp
  ${REPO}/plugins/embedded_plugins.cpp
  ${REPO}/services/japanese_encodings.cpp
  ${REPO}/services/line_reader.cpp
  ${REPO}/startup/archive_layout.cpp
  ${REPO}/startup/code_linker.cpp
  ${REPO}/startup/image_layout.cpp
  ${REPO}/startup/project_record.cpp
  ${REPO}/services/settings.cpp
  ${REPO}/objects/description_stream.cpp
  ${REPO}/ui/menu_description.cpp
  ${REPO}/services/pictures_layout.cpp)
set(FUZZ_TARGET_SOURCES
  ${REPO}/tests/fuzz/in_place_image.cpp
  ${REPO}/tests/fuzz/real_seeds.cpp
  ${REPO}/tests/fuzz/reader_targets.cpp)
