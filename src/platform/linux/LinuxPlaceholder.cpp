// Replaced by the Linux platform.
