// Fixture: the command line, which has no widgets, reaching the message boxes.
  #  include   "boxes/boxes.h"
