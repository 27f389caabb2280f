/* A C program; the linker puts a one-line BASIC SYS stub in front of it. */
int main(void) { return 0; }
