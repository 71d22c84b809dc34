"""What the test peers share: the start and stop commands, the detached
server process with its pid file, and the port file written whole.

    run(sys.argv, "ftp_peer", "ftp_peer.port", serve)

runs NAME start DIR (serve(DIR) in a detached process, pid in DIR/NAME.pid;
returns 0 once serve has written DIR/PORT_FILE through write_ports) or
NAME stop DIR (ends the process of that pid).
"""
import os
import signal
import time


def write_ports(folder, port_file, ports):
    """Writes the ports, space-separated, so a reader never sees half."""
    tmp = os.path.join(folder, port_file + ".tmp")
    with open(tmp, "w") as f:
        f.write(" ".join("%d" % p for p in ports) + "\n")
    os.replace(tmp, os.path.join(folder, port_file))


def run(argv, name, port_file, serve):
    command, folder = argv[1], os.path.abspath(argv[2])
    pidfile = os.path.join(folder, name + ".pid")
    if command == "stop":
        try:
            os.kill(int(open(pidfile).read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        return 0
    ports = os.path.join(folder, port_file)
    if os.path.exists(ports):
        os.remove(ports)
    pid = os.fork()
    if pid == 0:
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(devnull, fd)
        serve(folder)
        os._exit(0)
    with open(pidfile, "w") as f:
        f.write(str(pid))
    for _ in range(100):
        if os.path.exists(ports):
            return 0
        time.sleep(0.05)
    return 1
