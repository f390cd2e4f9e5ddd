"""A stand-in for the forecast source over HTTPS on loopback: each path (before "?")
answers with one recorded reply. Prints its port once it serves.
    https_upstream.py CERT.pem KEY.pem PATH=FILE...
"""
import http.server
import ssl
import sys

cert, key, *routes = sys.argv[1:]
replies = {}
for route in routes:
    path, file_name = route.split("=", 1)
    with open(file_name, "rb") as reply:
        replies[path] = reply.read()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        body = replies.get(self.path.split("?", 1)[0])
        self.send_response(200 if body is not None else 404)
        body = body if body is not None else b"{}"
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
