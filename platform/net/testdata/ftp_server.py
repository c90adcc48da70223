#!/usr/bin/python3
"""A real FTP server (pyftpdlib) for the FTP client's and the update's tests.

Usage: ftp_server.py [--anonymous] ROOT USER PASSWORD [BYTES_PER_SECOND]

Listens on 127.0.0.1 on a free port, prints the port on the first line of
standard output and lets USER, logged in with PASSWORD, read the files under
ROOT (the login folder); with --anonymous, the anonymous login too. With
BYTES_PER_SECOND, downloads are sent no faster than that. Runs until it is
killed.
"""

import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    args = sys.argv[1:]
    anonymous = bool(args) and args[0] == "--anonymous"
    if anonymous:
        args = args[1:]
    if len(args) not in (3, 4):
        sys.exit(__doc__)
    root, user, password = args[0:3]
    logging.basicConfig(level=logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    if anonymous:
        authorizer.add_anonymous(root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = None
    # A refused login is answered at once, not after the usual pause.
    handler.auth_failed_timeout = 0.1
    if len(args) == 4:
        dtp = ThrottledDTPHandler
        dtp.write_limit = int(args[3])
        dtp.read_limit = 0
        handler.dtp_handler = dtp
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
