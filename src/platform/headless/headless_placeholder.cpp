// Headless backend (being written).
