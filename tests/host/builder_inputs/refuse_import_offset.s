# A call into the middle of an import.
  .text
  .globl _CallsPastStart
_CallsPastStart:
  call _StringLen+4
  ret
