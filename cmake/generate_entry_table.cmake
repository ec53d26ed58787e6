# Turns startup/entry_points.txt into the runtime entry table and the list of
# names the image builder accepts. Run as: cmake -DIN=... -DOUT_CPP=... -DOUT_NAMES=... -P
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${IN} lines)
set(slots 1098)
set(declared "")
set(rows "")
set(names "")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR line MATCHES "^- " OR line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^[A-Za-z_$][A-Za-z0-9_$]*$")
    message(FATAL_ERROR "entry_points.txt: not a name: '${line}'")
  endif()
  if(NOT line IN_LIST declared)
    list(APPEND declared ${line})
    string(APPEND names "${line}\n")
  endif()
  string(APPEND rows "    {\"${line}\", reinterpret_cast<void*>(&${line}), 0, 0},\n")
  math(EXPR count "${count} + 1")
endforeach()
if(count GREATER slots)
  message(FATAL_ERROR "entry_points.txt names ${count} slots; the table has ${slots}")
endif()
file(WRITE ${OUT_CPP}.tmp
"// Generated from startup/entry_points.txt; do not edit. Every entry point
// must be declared in the SDK, which the runtime's own sources also include,
// so the table and the functions cannot disagree.
#include \"sdk/vellory.h\"
#include \"startup/entry_table.h\"

const EntrySlot kEntryTable[kEntrySlotCount] = {
${rows}};
const int32_t kEntriesFilled = ${count};
")
file(WRITE ${OUT_NAMES}.tmp "${names}")
# Rewrite only on change, so that an unchanged list rebuilds nothing.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT_CPP}.tmp ${OUT_CPP})
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUT_NAMES}.tmp ${OUT_NAMES})
