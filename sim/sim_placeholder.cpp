// Bus simulator library (being written).
