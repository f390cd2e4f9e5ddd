#!/usr/bin/env python3
"""A flood of slow clients against brisora-gateway, and one normal client in the middle of it.

Starts the gateway on loopback with the demo source (no network), keeps SLOW connections open
that never finish their request head (reopening any the gateway closes, as such a flood does),
and meanwhile asks for the feed as the widget does, SAMPLES times. Prints the normal client's
latencies, how many were answered, and the gateway's memory and open descriptors.

    bench/gateway/slow-clients.py                      # 1100 slow heads
    bench/gateway/slow-clients.py --slow 3000          # memory with 3,000 open
    bench/gateway/slow-clients.py --gateway path/to/brisora-gateway

Exits 1 when any normal request took longer than --deadline seconds (1 by default).
"""

import argparse
import os
import re
import resource
import selectors
import socket
import statistics
import subprocess
import sys
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FEED = b"/forecastrss?w=6000000006&u=c"
WIDGET_REQUEST = (b"GET " + FEED + b" HTTP/1.1\r\nAccept: */*\r\nAccept-Language: en-us\r\n"
                  b"Accept-Encoding: \r\nUser-Agent: \r\nHost: 127.0.0.1:8417\r\n"
                  b"Connection: Keep-Alive\r\n\r\n")
UNFINISHED_HEAD = b"GET " + FEED + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: "


def find_gateway():
    for build in ("build/test", "build", "build-gw-bench"):
        path = os.path.join(ROOT, build, "src/gateway/app/brisora-gateway")
        if os.access(path, os.X_OK):
            return path
    sys.exit("no built brisora-gateway found; pass --gateway")


def start_gateway(path):
    process = subprocess.Popen([path, "--demo", "--listen", "127.0.0.1:0"],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    line = process.stdout.readline().decode()
    match = re.search(r"listening on 127\.0\.0\.1:(\d+)", line)
    if not match:
        process.kill()
        sys.exit("gateway did not start: " + line + process.stderr.read().decode())
    return process, int(match.group(1))


def fetch(port, timeout):
    """One widget request on a fresh connection; seconds until the whole reply came."""
    began = time.monotonic()
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as client:
        client.sendall(WIDGET_REQUEST)
        reply = b""
        while b"\r\n\r\n" not in reply:
            chunk = client.recv(65536)
            if not chunk:
                raise ConnectionError("closed before the head: %r" % reply[:80])
            reply += chunk
        head, body = reply.split(b"\r\n\r\n", 1)
        length = int(re.search(rb"Content-Length: (\d+)", head).group(1))
        while len(body) < length:
            chunk = client.recv(65536)
            if not chunk:
                raise ConnectionError("closed in the body")
            body += chunk
        if not head.startswith(b"HTTP/1.1 200"):
            raise ConnectionError(head.split(b"\r\n")[0].decode())
    return time.monotonic() - began


class Flood:
    """Keeps `count` connections open with unfinished heads, reopening those that close."""

    def __init__(self, port, count, reopen):
        self.port = port
        self.count = count
        self.reopen = reopen
        self.selector = selectors.DefaultSelector()
        self.open = 0
        self.reopened = 0
        self.stopping = False

    def open_one(self):
        sock = socket.socket()
        sock.setblocking(False)
        sock.connect_ex(("127.0.0.1", self.port))
        self.selector.register(sock, selectors.EVENT_WRITE)
        self.open += 1

    def run(self):
        for _ in range(self.count):
            self.open_one()
        while not self.stopping:
            for key, events in self.selector.select(timeout=0.2):
                sock = key.fileobj
                if events & selectors.EVENT_WRITE:
                    try:
                        sock.send(UNFINISHED_HEAD)
                        self.selector.modify(sock, selectors.EVENT_READ)
                        continue
                    except OSError:
                        pass
                else:
                    try:
                        if sock.recv(4096):
                            continue
                    except OSError:
                        pass
                self.selector.unregister(sock)
                sock.close()
                self.open -= 1
                if self.reopen:
                    self.reopened += 1
                    self.open_one()

    def stop(self):
        self.stopping = True


def process_status(pid):
    status = open("/proc/%d/status" % pid).read()
    field = lambda name: int(re.search(name + r":\s+(\d+) kB", status).group(1)) // 1024
    return field("VmRSS"), field("VmHWM"), len(os.listdir("/proc/%d/fd" % pid))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--gateway", default=os.environ.get("GATEWAY_BIN") or find_gateway())
    parser.add_argument("--slow", type=int, default=1100, help="connections with unfinished heads")
    parser.add_argument("--samples", type=int, default=20)
    parser.add_argument("--deadline", type=float, default=1.0)
    parser.add_argument("--no-reopen", action="store_true",
                        help="open the slow connections once, without reopening closed ones")
    args = parser.parse_args()

    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    gateway, port = start_gateway(args.gateway)
    try:
        fetch(port, 5)  # warm the cache
        rss_idle = process_status(gateway.pid)[0]
        flood = Flood(port, args.slow, not args.no_reopen)
        thread = threading.Thread(target=flood.run, daemon=True)
        thread.start()
        time.sleep(2)  # let the flood fill the connection limit
        latencies, failures = [], []
        for _ in range(args.samples):
            try:
                latencies.append(fetch(port, 5))
            except OSError as error:
                failures.append(str(error))
            time.sleep(0.25)
        rss, peak, descriptors = process_status(gateway.pid)
        flood.stop()
        thread.join()
    finally:
        gateway.kill()
        gateway.wait()

    print("brisora-gateway under %d connections with unfinished heads" % args.slow)
    if latencies:
        print("normal client: %d of %d answered; latency min %.1f ms, median %.1f ms, max %.1f ms"
              % (len(latencies), args.samples, 1000 * min(latencies),
                 1000 * statistics.median(latencies), 1000 * max(latencies)))
    for failure in failures:
        print("normal client failed: " + failure)
    print("slow connections still open on the client side: %d; reopened after a close: %d"
          % (flood.open, flood.reopened))
    print("gateway memory: %d MB resident (%d MB before the flood, %d MB at peak), "
          "%d descriptors open" % (rss, rss_idle, peak, descriptors))
    late = [t for t in latencies if t > args.deadline]
    return 1 if failures or late else 0


if __name__ == "__main__":
    sys.exit(main())
