// A global whose initial value is computed at start-up: a global constructor.
int Compute();
int computed = Compute();
