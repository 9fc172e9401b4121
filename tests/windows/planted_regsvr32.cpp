// Planted beside the registration test, in its working directory: claims
// success and registers nothing, so the test sees it if it is ever run.
int main()
{
    return 0;
}
