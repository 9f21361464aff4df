// Fixture: a header of the same folder.
