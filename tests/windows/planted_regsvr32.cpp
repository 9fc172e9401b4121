// A regsvr32.exe planted beside the registration test, in its working
// directory: it claims success and registers nothing, so the test sees it if
// it is ever run in place of the system's own tool.
int main()
{
    return 0;
}
