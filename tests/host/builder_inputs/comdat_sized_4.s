# A same-size COMDAT copy of 4 bytes; comdat_sized_8.s has 8.
  .section .data$sized,"w"
  .linkonce same_size
  .globl _Sized
_Sized:
  .long 1
