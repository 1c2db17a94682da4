// Entry point; start-up arrives with the application shell.
int main() { return 0; }
