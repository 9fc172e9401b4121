// Planted in the registration test's working directory: claims success, registers nothing.
int main()
{
}
