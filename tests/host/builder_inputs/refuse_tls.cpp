__attribute__((section(".tls$"))) int perThread = 3;
