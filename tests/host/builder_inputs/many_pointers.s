# More than 65,535 relocations in one section: the count no longer fits the
# section header and moves into the first relocation entry.
  .data
  .globl _manyPointers
_manyPointers:
  .rept 70000
  .long _target
  .endr
  .globl _target
_target:
  .long 7
