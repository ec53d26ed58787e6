// Data in a section the image has no place for.
__attribute__((section(".vellory"))) int stray = 1;
