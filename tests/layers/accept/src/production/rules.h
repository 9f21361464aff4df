// Fixture: rank 1.
