// Filled in with the window work.
