#!/usr/bin/env python3
"""Serves DIR on 127.0.0.1, answering every request after DELAY_MS milliseconds.

    python3 bench/serve_delayed.py DIR [DELAY_MS]   (default 20)

HTTP/1.1 with keep-alive, one thread per connection. Prints the port on its first line
of output, then serves until it is killed.
"""
import functools
import http.server
import sys
import time


class DelayedHandler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # Headers and body go out as separate writes; without this, Nagle's algorithm and the
    # client's delayed ACK would add their own wait to every response.
    disable_nagle_algorithm = True
    delay = 0.02

    def send_head(self):
        time.sleep(self.delay)
        return super().send_head()

    def log_message(self, *args):
        pass


def main():
    directory = sys.argv[1]
    DelayedHandler.delay = (int(sys.argv[2]) if len(sys.argv) > 2 else 20) / 1000.0
    handler = functools.partial(DelayedHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
