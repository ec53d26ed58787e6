# A COMDAT function on its own; comdat_follower.s has another copy of it.
  .section .text$owner,"x"
  .linkonce discard
  .globl _Owner
_Owner:
  ret
