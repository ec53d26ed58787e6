# A COMDAT section that may appear only once in a link.
  .section .text$once,"x"
  .linkonce one_only
  .globl _OnlyOnce
_OnlyOnce:
  ret
