// Keeps the test support library non-empty on every build.
