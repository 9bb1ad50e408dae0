// Filled by the search module's work.
