# A relative reference from code to data.
  .data
  .globl _value
_value:
  .long 3
  .text
  .globl _JumpsIntoData
_JumpsIntoData:
  jmp _value
