# A common symbol, as C compiled with -fcommon leaves for uninitialized globals.
  .comm _shared, 4
