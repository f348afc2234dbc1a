/* Every start calls into the libraries through .plt and runs .init: both go just before the
   program's code, where the functions of the start lie (startup.order), instead of after all
   of it, where they would keep one more block of the program in memory. They begin a block of
   64 KiB (the program is loaded at such a boundary, see max-page-size), so that the start's
   code fills whole blocks from its first page on. */
SECTIONS {
  .init ALIGN(0x10000) : { KEEP(*(SORT_NONE(.init))) }
  .plt : { *(.plt) }
} INSERT BEFORE .text;
