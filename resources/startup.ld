/* Every start calls into the libraries through .plt and runs .init: both go just before the
   program's code, where the functions of the start lie (startup.order), instead of after all
   of it, where they would keep one more block of the program in memory. */
SECTIONS {
  .init : { KEEP(*(SORT_NONE(.init))) }
  .plt : { *(.plt) }
} INSERT BEFORE .text;
