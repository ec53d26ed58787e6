# An exact-match COMDAT copy; comdat_exact_a.s differs in one byte.
  .section .text$exact,"x"
  .linkonce same_contents
  .globl _Exact
_Exact:
  movl $2, %eax
  ret
