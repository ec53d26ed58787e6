# A relative reference stored in data.
  .text
  .globl _Elsewhere
_Elsewhere:
  ret
  .data
  .globl _distance
_distance:
  .long _Elsewhere - .
