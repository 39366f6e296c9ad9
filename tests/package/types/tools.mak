# Builds the tools.
all: tools

tools: tools.c
	cc -o tools tools.c
