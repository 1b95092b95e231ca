// Placeholder translation unit so the exporter library builds before its subsystems exist.
