# A relocation type the image has no fixup for (an image-relative address).
  .data
  .globl _base
_base:
  .rva _base
