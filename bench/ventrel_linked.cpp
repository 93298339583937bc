// The command runner linked in at start, as `ventrel` was before it handed
// commands to the tray app: the baseline bench/forwarding-snap.sh compares against.
extern "C" int ventrel_command_main(int argc, char** argv);

int main(int argc, char** argv)
{
    return ventrel_command_main(argc, argv);
}
