# A copy of the COMDAT function of comdat_owner.s, and a data section the
# tests make associative to it, so that it must go when this copy goes.
  .section .text$owner,"x"
  .linkonce discard
  .globl _Owner
_Owner:
  ret
  .section .data$follower,"w"
  .linkonce discard
  .globl _Follower
_Follower:
  .long 9
