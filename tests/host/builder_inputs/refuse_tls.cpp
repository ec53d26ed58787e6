// Data in the thread-local section.
__attribute__((section(".tls$"))) int perThread = 3;
