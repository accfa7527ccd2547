"""FTP peer of the vault tests: pyftpdlib on 127.0.0.1 over a directory.

Arguments: port, root directory, user, password, bytes per second of a data
connection (0: unthrottled), file receiving every command line the server
got (empty: none). Prints "ready" once it listens.
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    port, root, user, password, limit, log_file = sys.argv[1:7]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")

    log = open(log_file, "a", buffering=1) if log_file else None

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if log:
                log.write(line + "\n")
            return FTPHandler.pre_process_command(self, line, cmd, arg)

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0.1  # a refused login answers at once
    if int(limit) > 0:
        class Throttled(ThrottledDTPHandler):
            read_limit = int(limit)
            write_limit = int(limit)
        Handler.dtp_handler = Throttled

    server = FTPServer(("127.0.0.1", int(port)), Handler)
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
