# An exact-match COMDAT copy; comdat_exact_b.s differs in one byte.
  .section .text$exact,"x"
  .linkonce same_contents
  .globl _Exact
_Exact:
  movl $1, %eax
  ret
