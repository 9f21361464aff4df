// Fixture: the ground floor.
