// Fixture: the header reached.
