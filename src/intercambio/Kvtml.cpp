// Filled by the exchange module's work.
