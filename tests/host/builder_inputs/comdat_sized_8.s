# A same-size COMDAT copy of 8 bytes; comdat_sized_4.s has 4.
  .section .data$sized,"w"
  .linkonce same_size
  .globl _Sized
_Sized:
  .long 1, 2
